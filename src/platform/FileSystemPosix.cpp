#include "FileSystem.h"
#include "LinkChain.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/xattr.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace trelvik::platform {

namespace {

// A file descriptor closed by RAII.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int get() const { return fd_; }
    [[nodiscard]] bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (write errors can surface here).
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd >= 0 && ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeFully(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

class PosixWriter final : public FileWriter {
public:
    explicit PosixWriter(int fd) : file_(fd) {}

    bool write(std::string_view bytes) override { return writeFully(file_.get(), bytes); }
    bool flush() override { return ::fsync(file_.get()) == 0; }
    bool close() override { return file_.close(); }

private:
    Descriptor file_;
};

// Reads the whole file at fd from where it stands; none when a read fails, also part way.
std::optional<std::string> readRest(int fd)
{
    std::string content;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return content;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
}

// flock rather than fcntl locks: those belong to the process and end at the first close of any
// descriptor of the file, these to this open file.
class PosixOpenFile final : public OpenFile {
public:
    explicit PosixOpenFile(int fd) : file_(fd) {}

    bool tryLock(Lock lock) override
    {
        const int operation = (lock == Lock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
        int result = 0;
        do {
            result = ::flock(file_.get(), operation);
        } while (result != 0 && errno == EINTR);
        return result == 0;
    }

    std::optional<std::string> readAll() override
    {
        if (::lseek(file_.get(), 0, SEEK_SET) != 0) {
            return std::nullopt;
        }
        return readRest(file_.get());
    }

    bool rewrite(std::string_view bytes) override
    {
        return ::lseek(file_.get(), 0, SEEK_SET) == 0 && ::ftruncate(file_.get(), 0) == 0 &&
               writeFully(file_.get(), bytes) && ::fsync(file_.get()) == 0;
    }

private:
    Descriptor file_;
};

bool isRegular(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// The target of the symbolic link at path, as it is written there.
std::optional<NativePath> linkTarget(const NativePath& path)
{
    NativePath target(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            return target;
        }
        target.resize(target.size() * 2); // it may have been cut: read it again with more room
    }
}

#if defined(__linux__)
// The names of the extended attributes of the file at path, each zero-terminated; none when
// they cannot be listed.
std::optional<std::string> attributeNames(const char* path)
{
    for (;;) {
        const ssize_t size = ::listxattr(path, nullptr, 0);
        if (size < 0) {
            return errno == ENOTSUP ? std::optional<std::string>(std::string()) : std::nullopt;
        }
        std::string names(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::listxattr(path, names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return names;
        }
        if (errno != ERANGE) { // grown meanwhile: ask again
            return std::nullopt;
        }
    }
}

// The value of one extended attribute; none when this process cannot read it.
std::optional<std::string> attributeValue(const char* path, const char* name)
{
    for (;;) {
        const ssize_t size = ::getxattr(path, name, nullptr, 0);
        if (size < 0) {
            return std::nullopt;
        }
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::getxattr(path, name, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return value;
        }
        if (errno != ERANGE) {
            return std::nullopt;
        }
    }
}

// Gives the new file at fd every extended attribute of the file at path that this process can
// read: its access list (system.posix_acl_access) and user.* among them. False when one cannot
// be set: a replacement would then lose it.
bool copyAttributes(const char* path, int fd)
{
    const std::optional<std::string> names = attributeNames(path);
    if (!names) {
        return false;
    }
    for (std::size_t at = 0; at < names->size();) {
        const char* name = names->c_str() + at;
        at += std::strlen(name) + 1;
        const std::optional<std::string> value = attributeValue(path, name);
        if (!value) {
            continue; // not ours to read, so not ours to carry
        }
        // A label the system gives every new file may already be there and not be settable.
        std::string present(value->size() + 1, '\0');
        const ssize_t presentSize = ::fgetxattr(fd, name, present.data(), present.size());
        if (presentSize >= 0 && std::string_view(present.data(), static_cast<std::size_t>(presentSize)) == *value) {
            continue;
        }
        if (::fsetxattr(fd, name, value->data(), value->size(), 0) != 0) {
            return false;
        }
    }
    return true;
}
#endif

// Gives the new file at fd the owner, group, permissions and (on Linux) extended attributes of
// the file at path, described by record. False when the owner or group cannot be given (the
// process is neither the owner nor privileged) or an attribute cannot be set: a replacement would
// then take the record away from its owner, or lose what the attribute grants.
bool takeOver(int fd, const char* path, const struct stat& record)
{
    struct stat mine {};
    if (::fstat(fd, &mine) != 0) {
        return false;
    }
    if ((mine.st_uid != record.st_uid || mine.st_gid != record.st_gid) &&
        ::fchown(fd, record.st_uid, record.st_gid) != 0) {
        return false;
    }
    // After the owner: a change of owner clears the set-id bits.
    if (::fchmod(fd, record.st_mode & 07777U) != 0) {
        return false;
    }
#if defined(__linux__)
    // After the mode, which an access list's mask entry refines.
    return copyAttributes(path, fd);
#else
    (void)path;
    return true;
#endif
}

// Eight hex digits that differ between processes and between calls of one process.
NativePath uniqueSuffix(unsigned attempt)
{
    static unsigned calls = 0;
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    std::uint32_t mix = static_cast<std::uint32_t>(::getpid()) * 2654435761U;
    mix ^= static_cast<std::uint32_t>(now.tv_nsec) + (++calls << 20U) + attempt * 40503U;
    mix ^= mix >> 15U;
    char digits[9];
    for (int i = 7; i >= 0; --i) {
        digits[i] = "0123456789abcdef"[mix & 0xFU];
        mix >>= 4U;
    }
    digits[8] = '\0';
    return digits;
}

class PosixFileSystem final : public FileSystem {
public:
    FileKind kind(const NativePath& path) override
    {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            return FileKind::Missing;
        }
        return S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Other;
    }

    std::optional<NativePath> resolve(const NativePath& path) override
    {
        // Followed by hand rather than with realpath, which refuses a link whose target does
        // not exist yet.
        return followLinks(path, [](const NativePath& at) {
            struct stat info {};
            if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
                return LinkStep{};
            }
            std::optional<NativePath> target = linkTarget(at);
            return target ? LinkStep{LinkStep::Kind::Link, std::move(*target)}
                          : LinkStep{LinkStep::Kind::Unreadable, {}};
        });
    }

    std::unique_ptr<OpenFile> open(const NativePath& path, bool forWriting) override
    {
        // Non-blocking, so a FIFO swapped in after the kind check cannot hang the start.
        const int fd = ::open(path.c_str(), (forWriting ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return nullptr;
        }
        auto file = std::make_unique<PosixOpenFile>(fd);
        return isRegular(fd) ? std::move(file) : nullptr;
    }

    bool writable(const NativePath& path) override
    {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return false;
        }
        const Descriptor file(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
        return file.valid();
    }

    std::optional<TemporaryFile> createTemporary(const NativePath& target) override
    {
        struct stat info {};
        const bool targetExists = ::stat(target.c_str(), &info) == 0;
        if (targetExists && info.st_nlink > 1) {
            return std::nullopt; // a new file would split the record from its other names
        }
        const NativePath folder = folderOf(target);
        for (unsigned attempt = 0; attempt < 16; ++attempt) {
            // Short and of fixed length, so it fits wherever the record's own name fits.
            NativePath path = folder + ".~" + uniqueSuffix(attempt) + ".tmp";
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0) {
                if (errno == EEXIST || errno == EINTR) {
                    continue;
                }
                return std::nullopt;
            }
            auto writer = std::make_unique<PosixWriter>(fd);
            if (targetExists && !takeOver(fd, target.c_str(), info)) {
                writer.reset();
                ::unlink(path.c_str());
                return std::nullopt;
            }
            return TemporaryFile{std::move(path), std::move(writer)};
        }
        return std::nullopt;
    }

    std::unique_ptr<FileWriter> createNew(const NativePath& path) override
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NONBLOCK | O_CLOEXEC, 0666);
        return fd < 0 ? nullptr : std::make_unique<PosixWriter>(fd);
    }

    bool replace(const NativePath& from, const NativePath& to) override
    {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }

    void remove(const NativePath& path) override { ::unlink(path.c_str()); }

    void flushFolder(const NativePath& file) override
    {
        const NativePath folder = folderOf(file);
        const Descriptor directory(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (directory.valid()) {
            ::fsync(directory.get());
        }
    }

    std::vector<NativePath> filesOlderThan(const NativePath& file, std::int64_t seconds) override
    {
        std::vector<NativePath> found;
        const NativePath folder = folderOf(file);
        const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.empty() ? "." : folder.c_str()),
                                                            &::closedir);
        if (directory == nullptr) {
            return found;
        }
        const std::time_t before = std::time(nullptr) - static_cast<std::time_t>(seconds);
        while (const dirent* entry = ::readdir(directory.get())) {
            NativePath path = folder + entry->d_name;
            struct stat info {};
            if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_mtime <= before) {
                found.push_back(std::move(path));
            }
        }
        return found;
    }

    void pause(unsigned milliseconds) override
    {
        timespec wait{static_cast<time_t>(milliseconds / 1000U), static_cast<long>(milliseconds % 1000U) * 1000000L};
        while (::nanosleep(&wait, &wait) != 0 && errno == EINTR) {
        }
    }
};

} // namespace

FileSystem& FileSystem::system()
{
    static PosixFileSystem files;
    return files;
}

} // namespace trelvik::platform
