// The system's files behind the launch record's seam, with every step of an update recorded
// and each one open to refusal (or to ending the process there).
#pragma once

#include <platform/FileSystem.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

class SeamFiles final : public trelvik::platform::FileSystem {
public:
    using NativePath = trelvik::platform::NativePath;
    // Asked before each step ("create", "write", "flush", "close", "replace", "createNew",
    // "remove", "flushFolder", "pause", and on an opened record "open", "lockShared",
    // "lockExclusive", "read", "rewrite"); false makes that step fail (a refused pause does not
    // wait). Each write is done in two halves, two steps.
    using Gate = std::function<bool(const std::string& step)>;

    explicit SeamFiles(Gate gate = {}, bool writable = true) : gate_(std::move(gate)), writable_(writable) {}

    trelvik::platform::FileKind kind(const NativePath& path) override
    {
        return reportedKind ? *reportedKind : real().kind(path);
    }
    std::optional<NativePath> resolve(const NativePath& path) override { return real().resolve(path); }
    std::unique_ptr<trelvik::platform::OpenFile> open(const NativePath& path, bool forWriting) override;
    bool writable(const NativePath& path) override { return writable_ && real().writable(path); }
    std::optional<trelvik::platform::TemporaryFile> createTemporary(const NativePath& target) override;
    std::unique_ptr<trelvik::platform::FileWriter> createNew(const NativePath& path) override;
    bool replace(const NativePath& from, const NativePath& to) override;
    void remove(const NativePath& path) override;
    void flushFolder(const NativePath& file) override;
    std::vector<NativePath> filesOlderThan(const NativePath& file, std::int64_t seconds) override
    {
        return real().filesOlderThan(file, seconds);
    }
    void pause(unsigned milliseconds) override;

    // Every step asked for, in order, whether or not it was allowed.
    std::vector<std::string> steps;
    // When set, what kind() reports for every path (a file swapped after the check, say).
    std::optional<trelvik::platform::FileKind> reportedKind;
    // The time all pauses asked for, in milliseconds.
    unsigned pausedMilliseconds = 0;

    bool pass(const std::string& step);

private:
    static FileSystem& real() { return FileSystem::system(); }
    Gate gate_;
    bool writable_;
};

// A gate that refuses exactly one kind of step.
SeamFiles::Gate refuse(std::string step);

} // namespace testing_support
