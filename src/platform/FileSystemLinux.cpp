// The file primitives on Linux: each one the system call (or two) it names. Every question about
// a file goes to its open descriptor, never to its path again.
#include "FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

namespace trelvik::platform {

namespace {

Outcome outcomeOf(int error)
{
    const auto among = [error](std::initializer_list<int> errors) {
        return std::find(errors.begin(), errors.end(), error) != errors.end();
    };
    return among({ENOENT, ENOTDIR})                         ? Outcome::Missing
           : error == EEXIST                                ? Outcome::Exists
           : error == ELOOP                                 ? Outcome::Link
           : among({EACCES, EPERM, EROFS, ETXTBSY, EISDIR}) ? Outcome::Denied
                                                            : Outcome::Failed;
}

// What a file system without the feature answers.
bool unsupported(int error) { return error == ENOTSUP || error == ENOTTY || error == ENOSYS || error == EINVAL; }

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
    LinuxFile(int fd, const struct stat& info, bool forWriting)
        : OpenFile({S_ISREG(info.st_mode), static_cast<std::uint32_t>(info.st_nlink),
                    // A file without any write permission is read-only on purpose, even to root.
                    forWriting && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0,
                    static_cast<std::uint64_t>(info.st_size)}),
          fd_(fd), info_(info)
    {
    }
    ~LinuxFile() override { close(); }

    [[nodiscard]] int fd() const { return fd_; }
    [[nodiscard]] const struct stat& info() const { return info_; }

    std::optional<std::size_t> read(std::uint64_t offset, std::span<char> buffer) override
    {
        return counted(retried([&] { return ::pread(fd_, buffer.data(), buffer.size(), static_cast<off_t>(offset)); }));
    }
    std::optional<std::size_t> write(std::uint64_t offset, std::string_view bytes) override
    {
        return counted(retried([&] { return ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset)); }));
    }
    bool reserve(std::uint64_t size) override
    {
        return retried([&] { return ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)); }) == 0 ||
               errno == EOPNOTSUPP || errno == ENOSYS;
    }
    bool truncate(std::uint64_t size) override { return ::ftruncate(fd_, static_cast<off_t>(size)) == 0; }
    bool sync() override { return ::fsync(fd_) == 0; }

    // flock rather than fcntl locks: those belong to the process and end at the first close of any
    // descriptor of the file, these to this open file.
    bool tryLock(Lock lock) override
    {
        const int operation = (lock == Lock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
        return retried([&] { return ::flock(fd_, operation); }) == 0;
    }

    bool close() override
    {
        const int fd = std::exchange(fd_, -1);
        return fd >= 0 && ::close(fd) == 0;
    }

private:
    int fd_;
    struct stat info_;
};

Opened opened(int fd, bool forWriting)
{
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        const Outcome outcome = fd < 0 ? outcomeOf(errno) : Outcome::Failed;
        if (fd >= 0) {
            ::close(fd);
        }
        return {nullptr, outcome};
    }
    return {std::make_unique<LinuxFile>(fd, info, forWriting), Outcome::Done};
}

// The answer of a call that fills a buffer (readlink, flistxattr, fgetxattr), asked again with more
// room while it may have been cut or has grown; none, with errno set, when the call fails.
template <class Call> std::optional<std::string> filled(Call call)
{
    for (std::string buffer(256, '\0');; buffer.resize(buffer.size() * 2)) {
        const ssize_t got = call(buffer.data(), buffer.size());
        if (got >= 0 && static_cast<std::size_t>(got) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(got));
            return buffer;
        }
        if (got < 0 && errno != ERANGE) {
            return std::nullopt;
        }
    }
}

std::optional<std::string> attributeNames(int fd)
{
    return filled([&](char* buffer, std::size_t size) { return ::flistxattr(fd, buffer, size); });
}

std::optional<std::string> attributeValue(int fd, const char* name)
{
    return filled([&](char* buffer, std::size_t size) { return ::fgetxattr(fd, name, buffer, size); });
}

// Calls visit with each name of a NUL-separated list until it answers false.
template <class Visit> bool everyName(const std::string& names, Visit visit)
{
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
        if (!visit(names.c_str() + at)) {
            return false;
        }
    }
    return true;
}

bool listed(const std::string& names, std::string_view name)
{
    return !everyName(names, [&](const char* each) { return each != name; });
}

// The access list (system.posix_acl_access) and every other extended attribute, exactly: what the
// new file inherited from its folder's default list and the old one lacks would widen its rights.
// What cannot be read cannot be carried over; a label the system gives every new file may be there
// already, and not be settable.
bool copyAttributes(int from, int to)
{
    const std::optional<std::string> names = attributeNames(from);
    if (!names) {
        return unsupported(errno); // a file system without them keeps none on either file
    }
    const std::optional<std::string> present = attributeNames(to);
    return present &&
           everyName(*present,
                     [&](const char* name) {
                         return listed(*names, name) || ::fremovexattr(to, name) == 0 || errno == ENODATA;
                     }) &&
           everyName(*names, [&](const char* name) {
               const std::optional<std::string> value = attributeValue(from, name);
               return value && ((listed(*present, name) && attributeValue(to, name) == value) ||
                                ::fsetxattr(to, name, value->data(), value->size(), 0) == 0);
           });
}

// The flags chattr sets that a file keeps (no immutable or append-only: a record carrying those
// cannot be replaced anyway).
constexpr int keptFlags =
    FS_SECRM_FL | FS_UNRM_FL | FS_COMPR_FL | FS_SYNC_FL | FS_NODUMP_FL | FS_NOATIME_FL | FS_NOCOMP_FL | FS_NOCOW_FL;

bool copyFlags(int from, int to)
{
    int source = 0;
    int target = 0;
    if (::ioctl(from, FS_IOC_GETFLAGS, &source) != 0) {
        return unsupported(errno); // a file system without flags gives the new file none either
    }
    if (::ioctl(to, FS_IOC_GETFLAGS, &target) != 0) {
        return unsupported(errno) && (source & keptFlags) == 0;
    }
    int wanted = (target & ~keptFlags) | (source & keptFlags);
    return wanted == target || ::ioctl(to, FS_IOC_SETFLAGS, &wanted) == 0;
}

class LinuxFolder final : public Folder {
public:
    explicit LinuxFolder(int fd) : fd_(fd) {}
    ~LinuxFolder() override { ::close(fd_); }
    LinuxFolder(const LinuxFolder&) = delete;
    LinuxFolder& operator=(const LinuxFolder&) = delete;

    bool sync() override { return ::fsync(fd_) == 0; }

    // Room for about 1,500 names a call, so a crowded folder takes few calls (operator new's
    // memory is aligned for any entry).
    std::vector<NativePath> names() override
    {
        std::vector<NativePath> found;
        constexpr std::size_t size = 65536;
        const auto buffer = std::make_unique_for_overwrite<char[]>(size);
        for (ssize_t got = 0; (got = retried([&] { return ::getdents64(fd_, buffer.get(), size); })) > 0;) {
            for (ssize_t at = 0; at < got; at += reinterpret_cast<const dirent64*>(buffer.get() + at)->d_reclen) {
                found.emplace_back(reinterpret_cast<const dirent64*>(buffer.get() + at)->d_name);
            }
        }
        return found;
    }

private:
    int fd_;
};

class LinuxFileSystem final : public FileSystem {
public:
    Opened open(const NativePath& path, bool forWriting) override
    {
        const int flags = (forWriting ? O_RDWR : O_RDONLY) | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        return opened(::open(path.c_str(), flags), forWriting);
    }

    std::optional<NativePath> readLink(const NativePath& path) override
    {
        return filled([&](char* buffer, std::size_t size) { return ::readlink(path.c_str(), buffer, size); });
    }

    Opened createExclusive(const NativePath& path) override
    {
        return opened(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666), true);
    }

    // Both files come from this file system (a precondition of the seam). The owner first (whose
    // change clears the set-id bits), the access list after the mode (its mask refines the mode).
    // Refused where this process is neither the owner nor privileged: the record would change hands.
    bool copyIdentity(OpenFile& from, OpenFile& to) override
    {
        const auto& source = static_cast<const LinuxFile&>(from); // NOLINT(*-static-cast-downcast): ours
        const auto& target = static_cast<const LinuxFile&>(to);   // NOLINT(*-static-cast-downcast): ours
        const struct stat& want = source.info();
        const struct stat& have = target.info();
        const bool owned = want.st_uid == have.st_uid && want.st_gid == have.st_gid;
        return (owned || ::fchown(target.fd(), want.st_uid, want.st_gid) == 0) &&
               ((owned && (want.st_mode & 07777U) == (have.st_mode & 07777U)) ||
                ::fchmod(target.fd(), want.st_mode & 07777U) == 0) &&
               copyAttributes(source.fd(), target.fd()) && copyFlags(source.fd(), target.fd());
    }

    Outcome rename(const NativePath& from, const NativePath& to, bool replace) override
    {
        if (replace ? std::rename(from.c_str(), to.c_str()) == 0
                    : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
            return Outcome::Done;
        }
        if (replace || !unsupported(errno)) {
            return outcomeOf(errno);
        }
        // A file system without the flag: a second name, which never replaces, then the first goes.
        if (::link(from.c_str(), to.c_str()) != 0) {
            return outcomeOf(errno);
        }
        ::unlink(from.c_str());
        return Outcome::Done;
    }

    bool remove(const NativePath& path) override { return ::unlink(path.c_str()) == 0; }

    std::unique_ptr<Folder> openFolder(const NativePath& path) override
    {
        const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        return fd < 0 ? nullptr : std::make_unique<LinuxFolder>(fd);
    }

    std::optional<std::int64_t> ageSeconds(const NativePath& path) override
    {
        struct stat info {};
        if (::fstatat(AT_FDCWD, path.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(std::time(nullptr) - info.st_mtime);
    }

    void sleep(unsigned milliseconds) override
    {
        timespec wait{static_cast<time_t>(milliseconds / 1000U), static_cast<long>(milliseconds % 1000U) * 1000000L};
        while (::nanosleep(&wait, &wait) != 0 && errno == EINTR) {
        }
    }

    std::uint32_t uniqueNumber() override
    {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        return (static_cast<std::uint32_t>(::getpid()) * 2654435761U) ^ static_cast<std::uint32_t>(now.tv_nsec) ^
               (++calls_ * 40503U);
    }

private:
    std::uint32_t calls_ = 0;
};

} // namespace

FileSystem& FileSystem::system()
{
    static LinuxFileSystem files;
    return files;
}

} // namespace trelvik::platform
