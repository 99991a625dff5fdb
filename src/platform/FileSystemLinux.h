// Every Linux system call the launch record makes, in one table that the record's code calls
// through, errno read through it too. It is the production path itself; a test replaces an entry
// to see each call with its arguments, refuse it with any error the system can give, or answer it
// with values of its choosing (the same shape as FileSystemWin32.h).
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>

namespace trelvik::platform {

// NOLINTBEGIN(readability-identifier-naming): each entry is named after the call it holds
struct LinuxCalls {
    int (*open)(const char* path, int flags, mode_t mode) = [](const char* path, int flags, mode_t mode) {
        return ::open(path, flags, mode);
    };
    decltype(&::fstat) fstat = ::fstat;
    decltype(&::pread) pread = ::pread;
    decltype(&::pwrite) pwrite = ::pwrite;
    decltype(&::fallocate) fallocate = ::fallocate;
    decltype(&::fstatfs) fstatfs = ::fstatfs;
    decltype(&::ftruncate) ftruncate = ::ftruncate;
    decltype(&::fsync) fsync = ::fsync;
    decltype(&::flock) flock = ::flock;
    decltype(&::close) close = ::close;
    decltype(&::usleep) usleep = ::usleep;
    int (*error)() = [] { return errno; }; // the last call's errno
};
// NOLINTEND(readability-identifier-naming)

// The table in use; one per process, like the calls it stands for.
LinuxCalls& linuxCalls();

} // namespace trelvik::platform
