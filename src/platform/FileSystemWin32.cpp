#include "FileSystem.h"

#include <windows.h>

#include <vector>

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
// What the user may have set on the record and a new file would not have.
constexpr DWORD keptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

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

constexpr SECURITY_INFORMATION keptSecurity =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

// The owner, group and access list of the file at path; none when they cannot be read.
std::optional<std::vector<unsigned char>> securityOf(const NativePath& path)
{
    DWORD needed = 0;
    GetFileSecurityW(path.c_str(), keptSecurity, nullptr, 0, &needed);
    if (needed == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> descriptor(needed);
    if (GetFileSecurityW(path.c_str(), keptSecurity, descriptor.data(), needed, &needed) == 0) {
        return std::nullopt;
    }
    return descriptor;
}

// How many names the file at path has (hard links); 0 when it cannot be asked.
DWORD linkCount(const NativePath& path)
{
    const Handle file(CreateFileW(path.c_str(), 0, shareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || GetFileInformationByHandle(file.get(), &information) == 0) {
        return 0;
    }
    return information.nNumberOfLinks;
}

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

    std::optional<NativePath> resolve(const NativePath& path) override
    {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            return path;
        }
        // A link that cannot be opened (dangling, or looping) names no file we could reach
        // without replacing the link itself.
        const Handle file(
            CreateFileW(path.c_str(), 0, shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file.valid()) {
            return std::nullopt;
        }
        std::wstring resolved(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = GetFinalPathNameByHandleW(file.get(), resolved.data(),
                                                           static_cast<DWORD>(resolved.size()), FILE_NAME_NORMALIZED);
            if (length == 0) {
                return std::nullopt;
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
        if (linkCount(target) > 1) {
            return std::nullopt; // a new file would split the record from its other names
        }
        // The replacement is given the record's attributes, owner, group and access list before
        // it takes the record's place. (ReplaceFileW would merge them in too, but it is not one
        // step: Wine's leaves the name empty for a moment, and an overlapping start then counts
        // from 1 again.)
        DWORD attributes = GetFileAttributesW(target.c_str());
        std::optional<std::vector<unsigned char>> security;
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            security = securityOf(target);
            if (!security) {
                return std::nullopt;
            }
        }
        attributes = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & keptAttributes;
        const std::size_t separator = target.find_last_of(pathSeparators);
        const NativePath folder = separator == NativePath::npos ? NativePath() : target.substr(0, separator + 1);
        for (unsigned attempt = 0; attempt < 16; ++attempt) {
            // Short and of fixed length, so it fits wherever the record's own name fits.
            NativePath path = folder + L".~" + uniqueSuffix(attempt) + L".tmp";
            const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes, nullptr);
            if (handle == INVALID_HANDLE_VALUE) {
                if (GetLastError() == ERROR_FILE_EXISTS) {
                    continue;
                }
                return std::nullopt;
            }
            auto writer = std::make_unique<Win32Writer>(handle);
            // Refused where the process may not give the record's owner: the record is then
            // rewritten in place rather than taken from its owner.
            if (security && SetFileSecurityW(path.c_str(), keptSecurity, security->data()) == 0) {
                writer.reset();
                DeleteFileW(path.c_str());
                return std::nullopt;
            }
            return TemporaryFile{std::move(path), std::move(writer)};
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

    std::unique_ptr<FileWriter> createNew(const NativePath& path) override
    {
        const HANDLE handle =
            CreateFileW(path.c_str(), GENERIC_WRITE, shareAll, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        return handle == INVALID_HANDLE_VALUE ? nullptr : std::make_unique<Win32Writer>(handle);
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
