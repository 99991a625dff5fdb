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
        return handle != INVALID_HANDLE_VALUE && CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Win32Writer final : public FileWriter {
public:
    explicit Win32Writer(HANDLE handle) : file_(handle) {}

    bool write(std::string_view bytes) override
    {
        while (!bytes.empty()) {
            DWORD put = 0;
            const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
            if (WriteFile(file_.get(), bytes.data(), chunk, &put, nullptr) == 0 || put == 0) {
                return false;
            }
            bytes.remove_prefix(put);
        }
        return true;
    }
    bool flush() override { return FlushFileBuffers(file_.get()) != 0; }
    bool close() override { return file_.close(); }

private:
    Handle file_;
};

// Eight hex digits that differ between processes and between calls of one process.
std::wstring uniqueSuffix(unsigned attempt)
{
    static unsigned calls = 0;
    std::uint32_t mix = static_cast<std::uint32_t>(GetCurrentProcessId()) * 2654435761U;
    mix ^= static_cast<std::uint32_t>(GetTickCount64()) + (++calls << 20U) + attempt * 40503U;
    mix ^= mix >> 15U;
    wchar_t digits[9];
    for (int i = 7; i >= 0; --i) {
        digits[i] = L"0123456789abcdef"[mix & 0xFU];
        mix >>= 4U;
    }
    digits[8] = L'\0';
    return digits;
}

class Win32FileSystem final : public FileSystem {
public:
    FileKind kind(const NativePath& path) override
    {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return FileKind::Missing;
        }
        return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0 ? FileKind::Other
                                                                                      : FileKind::Regular;
    }

    NativePath resolve(const NativePath& path) override
    {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            return path;
        }
        const Handle file(
            CreateFileW(path.c_str(), 0, shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file.valid()) {
            return path;
        }
        std::wstring resolved(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = GetFinalPathNameByHandleW(file.get(), resolved.data(),
                                                           static_cast<DWORD>(resolved.size()), FILE_NAME_NORMALIZED);
            if (length == 0) {
                return path;
            }
            if (length < resolved.size()) {
                resolved.resize(length);
                return resolved;
            }
            resolved.resize(length + 1);
        }
    }

    std::optional<std::string> readAll(const NativePath& path) override
    {
        // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, as wanted.
        const Handle file(
            CreateFileW(path.c_str(), GENERIC_READ, shareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) {
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
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return false;
        }
        const Handle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, shareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.valid();
    }

    std::optional<TemporaryFile> createTemporary(const NativePath& target) override
    {
        // The replacement keeps the record's attributes (hidden, say).
        DWORD attributes = GetFileAttributesW(target.c_str());
        attributes = attributes == INVALID_FILE_ATTRIBUTES
                         ? FILE_ATTRIBUTE_NORMAL
                         : attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        for (unsigned attempt = 0; attempt < 16; ++attempt) {
            NativePath path = target + L"." + uniqueSuffix(attempt) + L".tmp";
            const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes, nullptr);
            if (handle == INVALID_HANDLE_VALUE) {
                if (GetLastError() == ERROR_FILE_EXISTS) {
                    continue;
                }
                return std::nullopt;
            }
            return TemporaryFile{std::move(path), std::make_unique<Win32Writer>(handle)};
        }
        return std::nullopt;
    }

    std::unique_ptr<FileWriter> openForRewrite(const NativePath& path) override
    {
        const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, shareAll, nullptr, TRUNCATE_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        auto writer = std::make_unique<Win32Writer>(handle);
        if (GetFileType(handle) != FILE_TYPE_DISK) {
            return nullptr;
        }
        return writer;
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
