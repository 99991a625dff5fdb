#include "SystemCalls.h"

#include <fcntl.h>
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
ssize_t __real_flistxattr(int fd, char* list, size_t size);
int __real_fsetxattr(int fd, const char* name, const void* value, size_t size, int flags);
int __real_renameat2(int from, const char* old, int to, const char* name, unsigned flags);

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

ssize_t __wrap_flistxattr(int fd, char* list, size_t size)
{
    return fails("flistxattr") ? -1 : __real_flistxattr(fd, list, size);
}

int __wrap_fsetxattr(int fd, const char* name, const void* value, size_t size, int flags)
{
    return fails("fsetxattr") ? -1 : __real_fsetxattr(fd, name, value, size, flags);
}

int __wrap_renameat2(int from, const char* old, int to, const char* name, unsigned flags)
{
    return fails("renameat2") ? -1 : __real_renameat2(from, old, to, name, flags);
}

} // extern "C"
// NOLINTEND(readability-identifier-naming, bugprone-reserved-identifier)
