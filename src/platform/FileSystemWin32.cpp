#include "FileSystem.h"

#include <windows.h>

namespace trelvik::platform {

namespace {

// A file handle closed by RAII.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle()
    {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    [[nodiscard]] HANDLE get() const { return handle_; }
    [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool close()
    {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Win32FileSystem final : public FileSystem {
public:
    bool exists(const NativePath& path) override { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::optional<std::string> readAll(const NativePath& path) override
    {
        // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, as wanted.
        Handle file(
            CreateFileW(path.c_str(), GENERIC_READ, shareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            return std::nullopt;
        }
        std::string content;
        char buffer[4096];
        for (;;) {
            DWORD got = 0;
            if (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) == 0) {
                return std::nullopt;
            }
            if (got == 0) {
                return content;
            }
            content.append(buffer, got);
        }
    }

    bool writable(const NativePath& path) override
    {
        // The read-only attribute is honoured even where the process could override it.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return false;
        }
        const Handle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, shareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.valid();
    }

    bool writeFile(const NativePath& path, std::string_view bytes) override
    {
        Handle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            return false;
        }
        while (!bytes.empty()) {
            DWORD put = 0;
            const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
            if (WriteFile(file.get(), bytes.data(), chunk, &put, nullptr) == 0 || put == 0) {
                return false;
            }
            bytes.remove_prefix(put);
        }
        return FlushFileBuffers(file.get()) != 0 && file.close();
    }

    bool replace(const NativePath& from, const NativePath& to) override
    {
        return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }

    void remove(const NativePath& path) override { DeleteFileW(path.c_str()); }
};

} // namespace

FileSystem& FileSystem::system()
{
    static Win32FileSystem files;
    return files;
}

} // namespace trelvik::platform
