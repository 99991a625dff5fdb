#include "FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

class PosixWriter final : public FileWriter {
public:
    explicit PosixWriter(int fd) : file_(fd) {}

    bool write(std::string_view bytes) override
    {
        while (!bytes.empty()) {
            const ssize_t put = ::write(file_.get(), bytes.data(), bytes.size());
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
    bool flush() override { return ::fsync(file_.get()) == 0; }
    bool close() override { return file_.close(); }

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

// Gives the new file at fd the owner, group and permissions of the file described by record.
// False when the owner or group cannot be given (the process is neither the owner nor
// privileged): a replacement would then take the record away from its owner.
bool takeOver(int fd, const struct stat& record)
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
    return ::fchmod(fd, record.st_mode & 07777U) == 0;
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
        // not exist yet. As many links as the kernel itself follows.
        constexpr int maximumLinks = 40;
        NativePath current = path;
        for (int links = 0; links <= maximumLinks; ++links) {
            struct stat info {};
            if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
                return current;
            }
            std::optional<NativePath> target = linkTarget(current);
            if (!target || target->empty()) {
                return std::nullopt;
            }
            if (target->front() != '/') {
                // Relative to the folder holding the link.
                const std::size_t slash = current.rfind('/');
                *target = (slash == NativePath::npos ? NativePath() : current.substr(0, slash + 1)) + *target;
            }
            current = std::move(*target);
        }
        return std::nullopt;
    }

    std::optional<std::string> readAll(const NativePath& path) override
    {
        // Non-blocking, so a FIFO swapped in after the kind check cannot hang the start.
        const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (!file.valid() || !isRegular(file.get())) {
            return std::nullopt;
        }
        std::string content;
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
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
        const std::size_t slash = target.rfind('/');
        const NativePath folder = slash == NativePath::npos ? NativePath() : target.substr(0, slash + 1);
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
            if (targetExists && !takeOver(fd, info)) {
                writer.reset();
                ::unlink(path.c_str());
                return std::nullopt;
            }
            return TemporaryFile{std::move(path), std::move(writer)};
        }
        return std::nullopt;
    }

    std::unique_ptr<FileWriter> openForRewrite(const NativePath& path) override
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return nullptr;
        }
        auto writer = std::make_unique<PosixWriter>(fd);
        if (!isRegular(fd) || ::ftruncate(fd, 0) != 0) {
            return nullptr;
        }
        return writer;
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
};

} // namespace

FileSystem& FileSystem::system()
{
    static PosixFileSystem files;
    return files;
}

} // namespace trelvik::platform
