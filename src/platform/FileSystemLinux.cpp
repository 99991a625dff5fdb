// The file primitives on Linux: each one the system call it names, and its errors translated.
#include "FileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace trelvik::platform {

namespace {

Outcome outcomeOf(int error)
{
    const auto among = [error](std::initializer_list<int> errors) {
        return std::find(errors.begin(), errors.end(), error) != errors.end();
    };
    return among({ENOENT, ENOTDIR})                         ? Outcome::Missing
           : among({EACCES, EPERM, EROFS, ETXTBSY, EISDIR}) ? Outcome::Denied
           : error == EWOULDBLOCK                           ? Outcome::Busy
           : among({ENOSPC, EDQUOT})                        ? Outcome::NoRoom
           : among({EOPNOTSUPP, ENOSYS})                    ? Outcome::Unsupported
                                                            : Outcome::Failed;
}

Outcome result(bool done) { return done ? Outcome::Done : outcomeOf(errno); }

template <class Call> auto retried(Call call)
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

std::optional<std::size_t> counted(ssize_t result)
{
    return result < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(result));
}

class LinuxFile final : public OpenFile {
public:
    LinuxFile(int fd, const struct stat& info)
        : OpenFile({S_ISREG(info.st_mode), (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0,
                    static_cast<std::uint64_t>(info.st_size)}),
          fd_(fd)
    {
    }
    ~LinuxFile() override { ::close(fd_); }

    std::optional<std::size_t> read(std::uint64_t offset, std::span<char> buffer) override
    {
        return counted(retried([&] { return ::pread(fd_, buffer.data(), buffer.size(), static_cast<off_t>(offset)); }));
    }
    std::optional<std::size_t> write(std::uint64_t offset, std::string_view bytes) override
    {
        return counted(retried([&] { return ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset)); }));
    }
    Outcome reserve(std::uint64_t size) override
    {
        return result(retried([&] { return ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)); }) == 0);
    }
    std::optional<std::uint64_t> room() override
    {
        struct statfs space {};
        if (::fstatfs(fd_, &space) != 0) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(space.f_bavail) * static_cast<std::uint64_t>(space.f_bsize);
    }
    bool truncate(std::uint64_t size) override { return ::ftruncate(fd_, static_cast<off_t>(size)) == 0; }
    bool sync() override { return ::fsync(fd_) == 0; }

    // flock rather than fcntl locks: those belong to the process and end at the first close of any
    // descriptor of the file, these to this open file.
    Outcome tryLock(Lock lock) override
    {
        const int operation = (lock == Lock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
        return result(retried([&] { return ::flock(fd_, operation); }) == 0);
    }

private:
    int fd_;
};

class LinuxFileSystem final : public FileSystem {
public:
    Opened open(const NativePath& path, Access access) override
    {
        constexpr int always = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        const int flags = access == Access::Read ? O_RDONLY : access == Access::ReadWrite ? O_RDWR : O_RDWR | O_CREAT;
        const int fd = ::open(path.c_str(), flags | always, 0666);
        if (fd < 0) {
            return {nullptr, outcomeOf(errno)};
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0) {
            ::close(fd);
            return {nullptr, Outcome::Failed};
        }
        return {std::make_unique<LinuxFile>(fd, info), Outcome::Done};
    }

    bool syncFolder(const NativePath& path) override
    {
        const std::size_t name = nameStart(path);
        const int fd = ::open(name == 0 ? "." : path.substr(0, name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const bool synced = fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0) {
            ::close(fd);
        }
        return synced;
    }

    void sleep(unsigned milliseconds) override { ::usleep(static_cast<useconds_t>(milliseconds) * 1000U); }
};

} // namespace

FileSystem& FileSystem::system()
{
    static LinuxFileSystem files;
    return files;
}

} // namespace trelvik::platform
