// The launch record's table of Win32 calls, taken over by a test: every call recorded with its
// argument, each one passed to the system or refused with an error of the test's choosing, and
// some answered with values of its choosing, as an odd disk or file system answers them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct Win32Call {
    explicit Win32Call(std::string entry, std::wstring named = {}, std::uint64_t argument = 0)
        : name(std::move(entry)), path(std::move(named)), value(argument)
    {
    }
    std::string name;  // the entry, "CreateFileW" ... "Sleep"
    std::wstring path; // CreateFileW, GetDiskFreeSpaceExW
    // CreateFileW: its disposition; ReadFile, WriteFile: the offset; SetFileInformationByHandle:
    // the information class; LockFileEx: its flags; Sleep: milliseconds.
    std::uint64_t value = 0;
};

// Decides each call: 0 lets it through to the system, any other value is the error it fails
// with (a refused Sleep does not wait; a refused CloseHandle closes all the same).
using Win32Plan = std::function<DWORD(const Win32Call& call)>;

// Values the calls let through answer instead of the system's own.
struct Win32Answers {
    std::optional<DWORD> transferLimit;     // ReadFile and WriteFile move at most so many bytes a call
    std::optional<std::uint64_t> available; // GetDiskFreeSpaceExW: free for the caller,
    std::optional<std::uint64_t> total;     // and the disk's size (0: a file system that reports none)
    std::optional<std::uint64_t> fileSize;  // GetFileInformationByHandle: the file's size
};

// Takes the table over while it lives, and gives it back as it was.
class Win32Table {
public:
    explicit Win32Table(Win32Plan given = {}, Win32Answers chosen = {});
    ~Win32Table();
    Win32Table(const Win32Table&) = delete;
    Win32Table& operator=(const Win32Table&) = delete;

    [[nodiscard]] const std::vector<Win32Call>& calls() const;
    // Handles CreateFileW gave that CloseHandle has not closed.
    [[nodiscard]] std::int64_t unclosedHandles() const;
    // The names of the table's entries, in its order.
    static const std::vector<std::string>& entries();
};

} // namespace testing_support
