#include "FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

class PosixFileSystem final : public FileSystem {
public:
    bool exists(const NativePath& path) override
    {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0;
    }

    std::optional<std::string> readAll(const NativePath& path) override
    {
        Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        struct stat info {};
        if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
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
        // A file without any write permission is read-only on purpose; that is honoured even
        // where the process could override it (root).
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return false;
        }
        const Descriptor file(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
        return file.valid();
    }

    bool writeFile(const NativePath& path, std::string_view bytes) override
    {
        Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        if (!file.valid()) {
            return false;
        }
        while (!bytes.empty()) {
            const ssize_t put = ::write(file.get(), bytes.data(), bytes.size());
            if (put < 0 && errno == EINTR) {
                continue;
            }
            if (put <= 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(put));
        }
        return ::fsync(file.get()) == 0 && file.close();
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
