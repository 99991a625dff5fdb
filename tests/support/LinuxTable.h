// The launch record's table of Linux system calls, taken over by a test: every call recorded with
// its argument, each one passed to the system or refused with an errno of the test's choosing, and
// some answered with values of its choosing, as an odd file system or disk answers them (the same
// shape as Win32Table.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
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

// Values the calls let through answer instead of the system's own.
struct LinuxAnswers {
    std::optional<std::size_t> transferLimit; // pread and pwrite move at most so many bytes a call
    // fstatfs: the blocks of 4,096 bytes free for the file, and in all (0: a file system that
    // reports no size).
    std::optional<std::uint64_t> freeBlocks;
    std::optional<std::uint64_t> totalBlocks;
};

// Takes the table over while it lives, and gives it back as it was.
class LinuxTable {
public:
    explicit LinuxTable(LinuxPlan given = {}, LinuxAnswers chosen = {});
    ~LinuxTable();
    LinuxTable(const LinuxTable&) = delete;
    LinuxTable& operator=(const LinuxTable&) = delete;

    [[nodiscard]] const std::vector<LinuxCall>& calls() const;
    // The paths fsync was given, in order.
    [[nodiscard]] std::vector<std::string> synced() const;
};

} // namespace testing_support
