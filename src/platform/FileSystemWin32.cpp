// The file primitives on Windows: each one the Win32 call (or two) it names. Every question about
// a file goes to its open handle, never to its path again.
#include "FileSystem.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace trelvik::platform {

namespace {

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// What the user may have set on the record and a new file would not have.
constexpr DWORD keptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr SECURITY_INFORMATION keptSecurity =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
constexpr DWORD symbolicLinkTag = 0xA000000CU; // IO_REPARSE_TAG_SYMLINK
constexpr DWORD chunk = 0x10000000U;           // the most one ReadFile or WriteFile is given

Outcome outcomeOf(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Outcome::Missing
           : error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS  ? Outcome::Exists
           : error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ? Outcome::Denied
                                                                          : Outcome::Failed;
}

OVERLAPPED at(std::uint64_t offset)
{
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32U);
    return position;
}

class Win32File final : public OpenFile {
public:
    Win32File(HANDLE handle, const FileFacts& facts, DWORD attributes)
        : OpenFile(facts), handle_(handle), attributes_(attributes)
    {
    }
    ~Win32File() override { close(); }

    [[nodiscard]] HANDLE handle() const { return handle_; }
    [[nodiscard]] DWORD attributes() const { return attributes_; }

    std::optional<std::size_t> read(std::uint64_t offset, std::span<char> buffer) override
    {
        OVERLAPPED position = at(offset);
        DWORD got = 0;
        if (ReadFile(handle_, buffer.data(), static_cast<DWORD>(std::min<std::size_t>(buffer.size(), chunk)), &got,
                     &position) == 0) {
            return GetLastError() == ERROR_HANDLE_EOF ? std::optional<std::size_t>(0) : std::nullopt;
        }
        return got;
    }

    std::optional<std::size_t> write(std::uint64_t offset, std::string_view bytes) override
    {
        OVERLAPPED position = at(offset);
        DWORD put = 0;
        return WriteFile(handle_, bytes.data(), static_cast<DWORD>(std::min<std::size_t>(bytes.size(), chunk)), &put,
                         &position) != 0
                   ? std::optional<std::size_t>(put)
                   : std::nullopt;
    }

    // Only ever to grow: an allocation below the end of the file would cut it.
    bool reserve(std::uint64_t size) override
    {
        FILE_ALLOCATION_INFO allocation{};
        allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
        if (SetFileInformationByHandle(handle_, FileAllocationInfo, &allocation, sizeof allocation) != 0) {
            return true;
        }
        const DWORD error = GetLastError(); // a file system (or Wine) that cannot reserve
        return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ||
               error == ERROR_CALL_NOT_IMPLEMENTED;
    }

    bool truncate(std::uint64_t size) override
    {
        FILE_END_OF_FILE_INFO end{};
        end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
        return SetFileInformationByHandle(handle_, FileEndOfFileInfo, &end, sizeof end) != 0;
    }

    bool sync() override { return FlushFileBuffers(handle_) != 0; }

    // Over every byte the file may ever have. Windows locks are mandatory: while another handle
    // holds one exclusively, this one can neither read nor write the record.
    bool tryLock(Lock lock) override
    {
        OVERLAPPED whole{};
        const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (lock == Lock::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0U);
        return LockFileEx(handle_, flags, 0, MAXDWORD, MAXDWORD, &whole) != 0;
    }

    // Closing the handle releases its locks.
    bool close() override
    {
        const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
        return handle != INVALID_HANDLE_VALUE && CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
    DWORD attributes_;
};

Opened opened(HANDLE handle, bool forWriting)
{
    if (handle == INVALID_HANDLE_VALUE) {
        return {nullptr, outcomeOf(GetLastError())};
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool disk = GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &information) != 0;
    const DWORD attributes = information.dwFileAttributes;
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open: what opens is a file or a device.
    const FileFacts facts{disk && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0, information.nNumberOfLinks,
                          forWriting && (attributes & FILE_ATTRIBUTE_READONLY) == 0,
                          (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32U) | information.nFileSizeLow};
    return {std::make_unique<Win32File>(handle, facts, attributes), Outcome::Done};
}

// A rename is written through (MOVEFILE_WRITE_THROUGH) and a new file's entry is logged by the file
// system with the file's own flush: there is no folder to sync on Windows, only names to list.
class Win32Folder final : public Folder {
public:
    explicit Win32Folder(NativePath path) : path_(std::move(path)) {}

    bool sync() override { return true; }

    std::vector<NativePath> names() override
    {
        std::vector<NativePath> found;
        WIN32_FIND_DATAW entry{};
        const HANDLE search =
            FindFirstFileExW((path_ + L"*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &entry) != 0) {
            if (std::wcscmp(entry.cFileName, L".") != 0 && std::wcscmp(entry.cFileName, L"..") != 0) {
                found.emplace_back(entry.cFileName);
            }
        }
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
        }
        return found;
    }

private:
    NativePath path_;
};

class Win32FileSystem final : public FileSystem {
public:
    Opened open(const NativePath& path, bool forWriting) override
    {
        // The link itself, not what it names: a symbolic link is reported, never followed.
        const DWORD access = GENERIC_READ | (forWriting ? GENERIC_WRITE : 0U);
        Opened result = opened(
            CreateFileW(path.c_str(), access, shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr),
            forWriting);
        const auto* file = static_cast<const Win32File*>(result.file.get()); // NOLINT(*-static-cast-downcast)
        if (file == nullptr || (file->attributes() & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            return result;
        }
        FILE_ATTRIBUTE_TAG_INFO tag{};
        const bool link = GetFileInformationByHandleEx(file->handle(), FileAttributeTagInfo, &tag, sizeof tag) == 0 ||
                          tag.ReparseTag == symbolicLinkTag;
        result.file.reset();
        if (link) {
            return {nullptr, Outcome::Link};
        }
        // Another reparse point (a cloud placeholder, say) is a file as far as the record goes.
        return opened(CreateFileW(path.c_str(), access, shareAll, nullptr, OPEN_EXISTING, 0, nullptr), forWriting);
    }

    // The target as the link holds it (REPARSE_DATA_BUFFER of the driver kit, symbolic-link case), so
    // that a link whose target does not exist yet still names it.
    std::optional<NativePath> readLink(const NativePath& path) override
    {
        const HANDLE link = CreateFileW(path.c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        std::vector<unsigned char> data(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
        DWORD got = 0;
        const bool read =
            link != INVALID_HANDLE_VALUE && DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(),
                                                            static_cast<DWORD>(data.size()), &got, nullptr);
        if (link != INVALID_HANDLE_VALUE) {
            CloseHandle(link);
        }
        const auto field = [&](std::size_t offset, auto value) {
            std::memcpy(&value, data.data() + offset, sizeof value);
            return value;
        };
        constexpr std::size_t names = 20; // tag, sizes, the substitute name's place, flags
        if (!read || got < names || field(0, DWORD{}) != symbolicLinkTag ||
            names + field(8, WORD{}) + field(10, WORD{}) > got) {
            return std::nullopt;
        }
        NativePath target(field(10, WORD{}) / sizeof(wchar_t), L'\0');
        std::memcpy(target.data(), data.data() + names + field(8, WORD{}), field(10, WORD{}));
        // An absolute target is held in the object manager's form, \??\C:\... (not with
        // SYMLINK_FLAG_RELATIVE).
        if ((field(16, DWORD{}) & 1U) == 0 && target.rfind(L"\\??\\", 0) == 0) {
            target.erase(0, 4);
        }
        return target;
    }

    Opened createExclusive(const NativePath& path) override
    {
        // With the rights to give it another owner and access list (copyIdentity).
        const DWORD access = GENERIC_READ | GENERIC_WRITE | WRITE_DAC | WRITE_OWNER;
        return opened(CreateFileW(path.c_str(), access, shareAll, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr),
                      true);
    }

    // The owner, group and access list exactly as the record holds them (set as they are, so
    // nothing is inherited from the folder on the way), then the record's attributes. Refused
    // where this process may not give the record's owner: the record is then written in place
    // rather than taken from its owner. Both files come from this file system.
    bool copyIdentity(OpenFile& from, OpenFile& to) override
    {
        const auto& source = static_cast<const Win32File&>(from);         // NOLINT(*-static-cast-downcast): ours
        const HANDLE target = static_cast<const Win32File&>(to).handle(); // NOLINT(*-static-cast-downcast): ours
        DWORD needed = 0;
        GetKernelObjectSecurity(source.handle(), keptSecurity, nullptr, 0, &needed);
        std::vector<unsigned char> descriptor(needed);
        FILE_BASIC_INFO basic{}; // times of 0 stay as they are
        const DWORD kept = source.attributes() & keptAttributes;
        basic.FileAttributes = kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL; // 0 would keep what it has
        return needed != 0 &&
               GetKernelObjectSecurity(source.handle(), keptSecurity, descriptor.data(), needed, &needed) != 0 &&
               SetKernelObjectSecurity(target, keptSecurity, descriptor.data()) != 0 &&
               SetFileInformationByHandle(target, FileBasicInfo, &basic, sizeof basic) != 0;
    }

    Outcome rename(const NativePath& from, const NativePath& to, bool replace) override
    {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0U);
        return MoveFileExW(from.c_str(), to.c_str(), flags) != 0 ? Outcome::Done : outcomeOf(GetLastError());
    }

    bool remove(const NativePath& path) override { return DeleteFileW(path.c_str()) != 0; }

    std::unique_ptr<Folder> openFolder(const NativePath& path) override
    {
        const DWORD attributes = GetFileAttributesW(path.empty() ? L"." : path.c_str());
        const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return folder ? std::make_unique<Win32Folder>(path) : nullptr;
    }

    std::optional<std::int64_t> ageSeconds(const NativePath& path) override
    {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        constexpr DWORD notAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT;
        if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) == 0 ||
            (data.dwFileAttributes & notAFile) != 0) {
            return std::nullopt;
        }
        const auto ticks = [](const FILETIME& time) { // of 100 ns
            return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32U) |
                                             time.dwLowDateTime);
        };
        return (ticks(now) - ticks(data.ftLastWriteTime)) / 10000000;
    }

    void sleep(unsigned milliseconds) override { Sleep(milliseconds); }

    std::uint32_t uniqueNumber() override
    {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return (static_cast<std::uint32_t>(GetCurrentProcessId()) * 2654435761U) ^
               static_cast<std::uint32_t>(now.QuadPart) ^ (++calls_ * 40503U);
    }

private:
    std::uint32_t calls_ = 0;
};

} // namespace

FileSystem& FileSystem::system()
{
    static Win32FileSystem files;
    return files;
}

} // namespace trelvik::platform
