#include "LinuxTable.h"

#include <platform/FileSystemLinux.h>

#include <algorithm>
#include <filesystem>
#include <utility>

namespace testing_support {

namespace {

using trelvik::platform::LinuxCalls;
using trelvik::platform::linuxCalls;

LinuxCalls saved;
LinuxPlan plan;
LinuxAnswers answers;
std::vector<LinuxCall> seen;

std::size_t limited(std::size_t size) { return std::min(size, answers.transferLimit.value_or(size)); }

// The errno the plan gives this call (set as errno), or 0. (The calls are noexcept, as some of the
// system's are, so that the table takes them.)
int refusal(LinuxCall call)
{
    seen.push_back(std::move(call));
    const int error = plan ? plan(seen.back()) : 0;
    if (error != 0) {
        errno = error;
    }
    return error;
}

std::string pathOf(int fd)
{
    std::error_code ignored;
    return std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), ignored).string();
}

std::uint64_t unsignedOf(off_t value) { return static_cast<std::uint64_t>(value); }

int openCall(const char* path, int flags, mode_t mode) noexcept
{
    return refusal({"open", path, 0}) != 0 ? -1 : saved.open(path, flags, mode);
}
int fstatCall(int fd, struct stat* info) noexcept
{
    return refusal({"fstat", {}, 0}) != 0 ? -1 : saved.fstat(fd, info);
}
ssize_t preadCall(int fd, void* buffer, std::size_t size, off_t offset) noexcept
{
    return refusal({"pread", {}, unsignedOf(offset)}) != 0 ? -1 : saved.pread(fd, buffer, limited(size), offset);
}
ssize_t pwriteCall(int fd, const void* bytes, std::size_t size, off_t offset) noexcept
{
    return refusal({"pwrite", {}, unsignedOf(offset)}) != 0 ? -1 : saved.pwrite(fd, bytes, limited(size), offset);
}
int fallocateCall(int fd, int mode, off_t offset, off_t size) noexcept
{
    return refusal({"fallocate", {}, unsignedOf(offset + size)}) != 0 ? -1 : saved.fallocate(fd, mode, offset, size);
}
int fstatfsCall(int fd, struct statfs* space) noexcept
{
    if (refusal({"fstatfs", {}, 0}) != 0 || saved.fstatfs(fd, space) != 0) {
        return -1;
    }
    if (answers.freeBlocks || answers.totalBlocks) {
        space->f_bsize = 4096;
        space->f_bavail = answers.freeBlocks.value_or(0);
        space->f_blocks = answers.totalBlocks.value_or(0);
    }
    return 0;
}
int ftruncateCall(int fd, off_t size) noexcept
{
    return refusal({"ftruncate", {}, unsignedOf(size)}) != 0 ? -1 : saved.ftruncate(fd, size);
}
int fsyncCall(int fd) noexcept { return refusal({"fsync", pathOf(fd), 0}) != 0 ? -1 : saved.fsync(fd); }
int flockCall(int fd, int operation) noexcept
{
    return refusal({"flock", {}, static_cast<std::uint64_t>(operation)}) != 0 ? -1 : saved.flock(fd, operation);
}
int closeCall(int fd) noexcept
{
    const bool refused = refusal({"close", {}, 0}) != 0;
    return saved.close(fd) == 0 && !refused ? 0 : -1;
}
int usleepCall(useconds_t microseconds) noexcept
{
    return refusal({"usleep", {}, microseconds}) != 0 ? -1 : saved.usleep(microseconds);
}

} // namespace

LinuxTable::LinuxTable(LinuxPlan given, LinuxAnswers chosen)
{
    saved = linuxCalls();
    plan = std::move(given);
    answers = chosen;
    seen.clear();
    linuxCalls() = {openCall,      fstatCall, preadCall, pwriteCall, fallocateCall, fstatfsCall,
                    ftruncateCall, fsyncCall, flockCall, closeCall,  usleepCall,    saved.error};
}

LinuxTable::~LinuxTable()
{
    linuxCalls() = saved;
    plan = nullptr;
    answers = {};
}

const std::vector<LinuxCall>& LinuxTable::calls() const { return seen; }

std::vector<std::string> LinuxTable::synced() const
{
    std::vector<std::string> paths;
    for (const LinuxCall& call : seen) {
        if (call.name == "fsync") {
            paths.push_back(call.path);
        }
    }
    return paths;
}

} // namespace testing_support
