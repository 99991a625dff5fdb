// The file primitives on Linux: each one the system call it names, made through the table of
// FileSystemLinux.h, and its errors translated.
#include "FileSystemLinux.h"
#include "FileSystem.h"

#include <algorithm>

namespace trelvik::platform {

LinuxCalls& linuxCalls()
{
    static LinuxCalls calls;
    return calls;
}

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

Outcome result(bool done) { return done ? Outcome::Done : outcomeOf(linuxCalls().error()); }

// The call again while a signal interrupts it.
template <class Call> auto retried(Call call)
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && linuxCalls().error() == EINTR);
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
    ~LinuxFile() override { linuxCalls().close(fd_); }

    std::optional<std::size_t> read(std::uint64_t offset, std::span<char> buffer) override
    {
        return counted(
            retried([&] { return linuxCalls().pread(fd_, buffer.data(), buffer.size(), static_cast<off_t>(offset)); }));
    }
    std::optional<std::size_t> write(std::uint64_t offset, std::string_view bytes) override
    {
        return counted(
            retried([&] { return linuxCalls().pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset)); }));
    }
    Outcome reserve(std::uint64_t size) override
    {
        return result(retried([&] {
                          return linuxCalls().fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size));
                      }) == 0);
    }
    std::optional<Room> room() override
    {
        struct statfs space {};
        if (retried([&] { return linuxCalls().fstatfs(fd_, &space); }) != 0) {
            return std::nullopt;
        }
        const auto block = static_cast<std::uint64_t>(space.f_bsize);
        return Room{static_cast<std::uint64_t>(space.f_bavail) * block,
                    static_cast<std::uint64_t>(space.f_blocks) * block, block};
    }
    bool truncate(std::uint64_t size) override
    {
        return retried([&] { return linuxCalls().ftruncate(fd_, static_cast<off_t>(size)); }) == 0;
    }
    bool sync() override
    {
        return retried([&] { return linuxCalls().fsync(fd_); }) == 0;
    }

    // flock rather than fcntl locks: those belong to the process and end at the first close of any
    // descriptor of the file, these to this open file.
    Outcome tryLock(Lock lock) override
    {
        const int operation = (lock == Lock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
        if (retried([&] { return linuxCalls().flock(fd_, operation); }) == 0) {
            return Outcome::Done;
        }
        // A file system without a lock service (NFS without its daemon, some FUSE ones) says so
        // with ENOLCK or EINVAL: no other start can lock there either.
        const int error = linuxCalls().error();
        return error == ENOLCK || error == EINVAL ? Outcome::Unsupported : outcomeOf(error);
    }

private:
    int fd_;
};

class LinuxFileSystem final : public FileSystem {
public:
    Opened open(const NativePath& path, Access access) override
    {
        LinuxCalls& calls = linuxCalls();
        constexpr int always = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        const int flags = access == Access::Read ? O_RDONLY : access == Access::ReadWrite ? O_RDWR : O_RDWR | O_CREAT;
        // A new record is its owner's alone: no other user can hold its lock.
        const int fd = retried([&] { return calls.open(path.c_str(), flags | always, 0600); });
        if (fd < 0) {
            return {nullptr, outcomeOf(calls.error())};
        }
        struct stat info {};
        if (calls.fstat(fd, &info) != 0) {
            calls.close(fd);
            return {nullptr, Outcome::Failed};
        }
        return {std::make_unique<LinuxFile>(fd, info), Outcome::Done};
    }

    bool syncFolder(const NativePath& path) override
    {
        LinuxCalls& calls = linuxCalls();
        const std::size_t name = nameStart(path);
        const int fd = retried([&] {
            return calls.open(name == 0 ? "." : path.substr(0, name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
        });
        const bool synced = fd >= 0 && retried([&] { return calls.fsync(fd); }) == 0;
        if (fd >= 0) {
            calls.close(fd);
        }
        return synced;
    }

    void sleep(unsigned milliseconds) override { linuxCalls().usleep(static_cast<useconds_t>(milliseconds) * 1000U); }
};

} // namespace

FileSystem& FileSystem::system()
{
    static LinuxFileSystem files;
    return files;
}

} // namespace trelvik::platform
