// The system's files behind the launch record's seam: every primitive recorded with its
// argument, each open to refusal (or to ending the process there), and links of the test's own.
#pragma once

#include <platform/FileSystem.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

class SeamFiles final : public trelvik::platform::FileSystem {
public:
    using NativePath = trelvik::platform::NativePath;
    using Opened = trelvik::platform::Opened;
    using Outcome = trelvik::platform::Outcome;

    // One primitive asked for. op: "open", "readLink", "createExclusive", "copyIdentity", "rename",
    // "remove", "openFolder", "syncFolder", "names", "ageSeconds", "sleep", and on an open file
    // "read", "write", "reserve", "truncate", "sync", "lockShared", "lockExclusive", "close".
    // path: the file or folder (an open file's own path; copyIdentity's new file); to: rename's
    // new name; value: a size, an offset, milliseconds, or 1 for "for writing" / "replacing".
    struct Call {
        std::string op;
        NativePath path;
        NativePath to{};
        std::uint64_t value = 0;
    };
    // Asked before each primitive; false makes it fail (a refused sleep does not wait, a refused
    // readLink reads nothing). A write writes half the bytes it is given (at least one).
    using Gate = std::function<bool(const Call& call)>;

    explicit SeamFiles(Gate gate = {}) : gate_(std::move(gate)) {}

    Opened open(const NativePath& path, bool forWriting) override;
    std::optional<NativePath> readLink(const NativePath& path) override;
    Opened createExclusive(const NativePath& path) override;
    bool copyIdentity(trelvik::platform::OpenFile& from, trelvik::platform::OpenFile& to) override;
    Outcome rename(const NativePath& from, const NativePath& to, bool replace) override;
    bool remove(const NativePath& path) override;
    std::unique_ptr<trelvik::platform::Folder> openFolder(const NativePath& path) override;
    std::optional<std::int64_t> ageSeconds(const NativePath& path) override;
    void sleep(unsigned milliseconds) override;
    std::uint32_t uniqueNumber() override { return real().uniqueNumber(); }

    // Every primitive asked for, in order, whether or not it was allowed.
    std::vector<Call> calls;
    // Links of the test's own: open reports one at these paths, readLink gives its target.
    std::map<NativePath, NativePath> links;

    bool pass(Call call);
    // The calls of that op; where the first and the last of them (on path, if given) stand in calls.
    [[nodiscard]] std::vector<Call> of(const std::string& op) const;
    [[nodiscard]] std::optional<std::size_t> first(const std::string& op, const NativePath& path = {}) const;
    [[nodiscard]] std::optional<std::size_t> last(const std::string& op, const NativePath& path = {}) const;

private:
    static FileSystem& real() { return FileSystem::system(); }
    Opened wrap(Opened opened, const NativePath& path);
    Gate gate_;
};

// Both calls were made, the first before the second.
inline bool ordered(std::optional<std::size_t> first, std::optional<std::size_t> second)
{
    return first && second && *first < *second;
}

// A gate that refuses the primitives of these ops.
SeamFiles::Gate refuse(std::vector<std::string> ops);

} // namespace testing_support
