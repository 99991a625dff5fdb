// The launch record's table of Linux system calls, taken over by a test: every call recorded with
// its argument, and each one passed to the system or refused with an errno of the test's choosing
// (the same shape as Win32Table.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

struct LinuxCall {
    std::string name; // the entry, "open" ... "usleep"
    std::string path; // open: the path; fsync: the file or folder the descriptor is
    // pread, pwrite: the offset; fallocate, ftruncate: the size; flock: the operation; usleep: the
    // microseconds.
    std::uint64_t value = 0;
};

// Decides each call: 0 lets it through to the system, any other value is the errno it fails with
// (a refused close closes all the same; a refused usleep does not wait).
using LinuxPlan = std::function<int(const LinuxCall& call)>;

// Takes the table over while it lives, and gives it back as it was.
class LinuxTable {
public:
    explicit LinuxTable(LinuxPlan given = {});
    ~LinuxTable();
    LinuxTable(const LinuxTable&) = delete;
    LinuxTable& operator=(const LinuxTable&) = delete;

    [[nodiscard]] const std::vector<LinuxCall>& calls() const;
    // The paths fsync was given, in order.
    [[nodiscard]] std::vector<std::string> synced() const;
};

} // namespace testing_support
