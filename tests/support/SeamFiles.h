// The system's files behind the launch record's seam: every primitive recorded with its
// argument, each open to refusal with any outcome (or to ending the process there).
#pragma once

#include <platform/FileSystem.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class SeamFiles final : public trelvik::platform::FileSystem {
public:
    using NativePath = trelvik::platform::NativePath;
    using Outcome = trelvik::platform::Outcome;

    // One primitive asked for. op: "open", "syncFolder", "sleep", and on an open file "read",
    // "write", "reserve", "room", "truncate", "sync", "lockShared", "lockExclusive". path: the file
    // (an open file's own path); value: open's access (0 read, 1 read-write, 2 create), a size,
    // an offset, or milliseconds.
    struct Call {
        std::string op;
        NativePath path;
        std::uint64_t value = 0;
    };
    // Asked before each primitive: Done lets it through, anything else is what it answers
    // instead (a refused sleep does not wait).
    using Gate = std::function<Outcome(const Call& call)>;

    explicit SeamFiles(Gate gate = {}) : gate_(std::move(gate)) {}

    trelvik::platform::Opened open(const NativePath& path, trelvik::platform::Access access) override;
    bool syncFolder(const NativePath& path) override;
    void sleep(unsigned milliseconds) override;

    // Every primitive asked for, in order, whether or not it was allowed.
    std::vector<Call> calls;
    // Writes give the system half the bytes they are handed (at least one), as it may take them.
    bool partialWrites = false;
    // Reads give at most this many bytes, as the system may give fewer than asked.
    std::size_t readLimit = SIZE_MAX;
    // What room() answers, when it is let through, instead of the file system's own answer.
    std::optional<trelvik::platform::Room> roomAnswer;

    Outcome pass(Call call);
    // The calls of that op; where the first and the last of them (on path, if given) stand in calls.
    [[nodiscard]] std::vector<Call> of(const std::string& op) const;
    [[nodiscard]] std::optional<std::size_t> first(const std::string& op, const NativePath& path = {}) const;
    [[nodiscard]] std::optional<std::size_t> last(const std::string& op, const NativePath& path = {}) const;
    // Milliseconds the start paused in all.
    [[nodiscard]] std::uint64_t paused() const;

private:
    static FileSystem& real() { return FileSystem::system(); }
    Gate gate_;
};

// Both calls were made, the first before the second.
inline bool ordered(std::optional<std::size_t> first, std::optional<std::size_t> second)
{
    return first && second && *first < *second;
}

// A gate that answers the primitives of these ops with outcome (Failed by default).
SeamFiles::Gate refuse(std::vector<std::string> ops, SeamFiles::Outcome outcome = SeamFiles::Outcome::Failed);

} // namespace testing_support
