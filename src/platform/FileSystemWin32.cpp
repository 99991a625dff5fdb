#include "FileSystem.h"
#include "LinkChain.h"

#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <cstring>
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

bool writeFully(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD put = 0;
        const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        if (WriteFile(file, bytes.data(), chunk, &put, nullptr) == 0 || put == 0) {
            return false;
        }
        bytes.remove_prefix(put);
    }
    return true;
}

class Win32Writer final : public FileWriter {
public:
    explicit Win32Writer(HANDLE handle) : file_(handle) {}

    bool write(std::string_view bytes) override { return writeFully(file_.get(), bytes); }
    bool flush() override { return FlushFileBuffers(file_.get()) != 0; }
    bool close() override { return file_.close(); }

private:
    Handle file_;
};

// Reads from the handle's current position to the end; none when a read fails, also part way.
std::optional<std::string> readRest(HANDLE file)
{
    std::string content;
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (ReadFile(file, buffer, sizeof buffer, &got, nullptr) == 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return content;
        }
        content.append(buffer, got);
    }
}

// A byte-range lock over every byte the file may ever have: Windows locks are mandatory, so
// while one start holds it exclusively no other handle can read or write the record.
class Win32OpenFile final : public OpenFile {
public:
    explicit Win32OpenFile(HANDLE handle) : file_(handle) {}
    ~Win32OpenFile() override
    {
        if (locked_) {
            OVERLAPPED whole{};
            UnlockFileEx(file_.get(), 0, MAXDWORD, MAXDWORD, &whole);
        }
    }
    Win32OpenFile(const Win32OpenFile&) = delete;
    Win32OpenFile& operator=(const Win32OpenFile&) = delete;

    bool tryLock(Lock lock) override
    {
        OVERLAPPED whole{};
        const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (lock == Lock::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0U);
        locked_ = LockFileEx(file_.get(), flags, 0, MAXDWORD, MAXDWORD, &whole) != 0;
        return locked_;
    }

    std::optional<std::string> readAll() override
    {
        if (SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
            return std::nullopt;
        }
        return readRest(file_.get());
    }

    bool rewrite(std::string_view bytes) override
    {
        return SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
               SetEndOfFile(file_.get()) != 0 && writeFully(file_.get(), bytes) && FlushFileBuffers(file_.get()) != 0;
    }

private:
    Handle file_;
    bool locked_ = false;
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

// The reparse data of a symbolic link (REPARSE_DATA_BUFFER of the driver kit, symbolic-link case).
struct SymbolicLinkData {
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteNameOffset; // in bytes, into pathBuffer
    WORD substituteNameLength;
    WORD printNameOffset;
    WORD printNameLength;
    DWORD flags;
    wchar_t pathBuffer[1];
};
constexpr DWORD symbolicLinkTag = 0xA000000CU; // IO_REPARSE_TAG_SYMLINK
constexpr DWORD relativeLinkFlag = 1U;         // SYMLINK_FLAG_RELATIVE

// One step of a link chain: the target of a symbolic link, read from the link itself, so that
// a link whose target does not exist yet still names it. Other reparse points (cloud
// placeholders, say) are files as far as the record goes.
LinkStep readLink(const NativePath& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return {};
    }
    const Handle link(CreateFileW(path.c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    std::vector<unsigned char> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD got = 0;
    if (!link.valid() || DeviceIoControl(link.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                                         static_cast<DWORD>(buffer.size()), &got, nullptr) == 0) {
        return {LinkStep::Kind::Unreadable, {}};
    }
    SymbolicLinkData header{};
    constexpr std::size_t names = offsetof(SymbolicLinkData, pathBuffer);
    if (got < names) {
        return {LinkStep::Kind::Unreadable, {}};
    }
    std::memcpy(&header, buffer.data(), names);
    if (header.tag != symbolicLinkTag) {
        return {};
    }
    if (names + header.substituteNameOffset + header.substituteNameLength > got) {
        return {LinkStep::Kind::Unreadable, {}};
    }
    NativePath target(header.substituteNameLength / sizeof(wchar_t), L'\0');
    std::memcpy(target.data(), buffer.data() + names + header.substituteNameOffset, header.substituteNameLength);
    // An absolute target is stored in the object manager's form, \??\C:\...
    if ((header.flags & relativeLinkFlag) == 0 && target.rfind(L"\\??\\", 0) == 0) {
        target.erase(0, 4);
    }
    return {LinkStep::Kind::Link, std::move(target)};
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

    std::optional<NativePath> resolve(const NativePath& path) override { return followLinks(path, readLink); }

    std::unique_ptr<OpenFile> open(const NativePath& path, bool forWriting) override
    {
        // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, as wanted.
        const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | (forWriting ? GENERIC_WRITE : 0U), shareAll,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        auto file = std::make_unique<Win32OpenFile>(handle);
        return GetFileType(handle) == FILE_TYPE_DISK ? std::move(file) : nullptr;
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
        const NativePath folder = folderOf(target);
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

    // The rename is written through (MOVEFILE_WRITE_THROUGH) and a new file's entry is logged by
    // the file system with the file's own flush: there is no folder handle to flush on Windows.
    void flushFolder(const NativePath& /*file*/) override {}

    std::vector<NativePath> filesOlderThan(const NativePath& file, std::int64_t seconds) override
    {
        std::vector<NativePath> found;
        const NativePath folder = folderOf(file);
        WIN32_FIND_DATAW entry{};
        const HANDLE search =
            FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
        if (search == INVALID_HANDLE_VALUE) {
            return found;
        }
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        const auto ticks = [](const FILETIME& time) {
            return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32U) | time.dwLowDateTime;
        };
        const std::uint64_t before = ticks(now) - static_cast<std::uint64_t>(seconds) * 10000000U; // 100 ns ticks
        do {
            const DWORD notAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT;
            if ((entry.dwFileAttributes & notAFile) == 0 && ticks(entry.ftLastWriteTime) <= before) {
                found.push_back(folder + entry.cFileName);
            }
        } while (FindNextFileW(search, &entry) != 0);
        FindClose(search);
        return found;
    }

    void pause(unsigned milliseconds) override { Sleep(milliseconds); }
};

} // namespace

FileSystem& FileSystem::system()
{
    static Win32FileSystem files;
    return files;
}

} // namespace trelvik::platform
