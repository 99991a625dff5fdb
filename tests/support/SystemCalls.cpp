#include "SystemCalls.h"

#include <fcntl.h>
#include <sys/statfs.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace testing_support::system_calls {

std::map<std::string, int> failures;
std::vector<std::string> synced;

void reset()
{
    failures.clear();
    synced.clear();
}

namespace {

// True (with errno set) when the test wants that call to fail.
bool fails(const char* call)
{
    const auto failure = failures.find(call);
    if (failure == failures.end() || failure->second == 0) {
        return false;
    }
    errno = failure->second;
    return true;
}

} // namespace

} // namespace testing_support::system_calls

// NOLINTBEGIN(readability-identifier-naming, bugprone-reserved-identifier): the linker's names
extern "C" {

using testing_support::system_calls::fails;

int __real_fsync(int fd);
int __real_fallocate(int fd, int mode, off_t offset, off_t length);
int __real_fstatfs(int fd, struct statfs* space);

int __wrap_fsync(int fd)
{
    std::error_code ignored;
    const auto path = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), ignored);
    testing_support::system_calls::synced.push_back(path.string());
    return fails("fsync") ? -1 : __real_fsync(fd);
}

int __wrap_fallocate(int fd, int mode, off_t offset, off_t length)
{
    return fails("fallocate") ? -1 : __real_fallocate(fd, mode, offset, length);
}

int __wrap_fstatfs(int fd, struct statfs* space) { return fails("fstatfs") ? -1 : __real_fstatfs(fd, space); }

} // extern "C"
// NOLINTEND(readability-identifier-naming, bugprone-reserved-identifier)
