// The file primitives on Windows: each one the Win32 call it names, made through the table of
// FileSystemWin32.h, and its errors translated.
#include "FileSystemWin32.h"
#include "FileSystem.h"

#include <algorithm>
#include <utility>

namespace trelvik::platform {

Win32Calls& win32Calls()
{
    static Win32Calls calls;
    return calls;
}

namespace {

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD chunk = 0x10000000U; // the most one ReadFile or WriteFile is given

Outcome outcomeOf(DWORD error)
{
    const auto among = [error](std::initializer_list<DWORD> errors) {
        return std::find(errors.begin(), errors.end(), error) != errors.end();
    };
    return among({ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND})                                ? Outcome::Missing
           : among({ERROR_ACCESS_DENIED, ERROR_WRITE_PROTECT})                                ? Outcome::Denied
           : among({ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION, ERROR_DELETE_PENDING})     ? Outcome::Busy
           : among({ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL})                                 ? Outcome::NoRoom
           : among({ERROR_NOT_SUPPORTED, ERROR_INVALID_FUNCTION, ERROR_CALL_NOT_IMPLEMENTED}) ? Outcome::Unsupported
                                                                                              : Outcome::Failed;
}

Outcome result(BOOL done) { return done != 0 ? Outcome::Done : outcomeOf(win32Calls().GetLastError()); }

OVERLAPPED at(std::uint64_t offset)
{
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32U);
    return position;
}

class Win32File final : public OpenFile {
public:
    Win32File(HANDLE handle, const FileFacts& facts, NativePath path)
        : OpenFile(facts), handle_(handle), path_(std::move(path))
    {
    }
    ~Win32File() override { win32Calls().CloseHandle(handle_); }

    std::optional<std::size_t> read(std::uint64_t offset, std::span<char> buffer) override
    {
        OVERLAPPED position = at(offset);
        DWORD got = 0;
        if (win32Calls().ReadFile(handle_, buffer.data(),
                                  static_cast<DWORD>(std::min<std::size_t>(buffer.size(), chunk)), &got,
                                  &position) == 0) {
            return win32Calls().GetLastError() == ERROR_HANDLE_EOF ? std::optional<std::size_t>(0) : std::nullopt;
        }
        return got;
    }

    std::optional<std::size_t> write(std::uint64_t offset, std::string_view bytes) override
    {
        OVERLAPPED position = at(offset);
        DWORD put = 0;
        return win32Calls().WriteFile(handle_, bytes.data(),
                                      static_cast<DWORD>(std::min<std::size_t>(bytes.size(), chunk)), &put,
                                      &position) != 0
                   ? std::optional<std::size_t>(put)
                   : std::nullopt;
    }

    // Only ever asked to grow the file: an allocation below its end would cut it.
    Outcome reserve(std::uint64_t size) override
    {
        FILE_ALLOCATION_INFO allocation{};
        allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
        return result(
            win32Calls().SetFileInformationByHandle(handle_, FileAllocationInfo, &allocation, sizeof allocation));
    }

    std::optional<Room> room() override
    {
        const NativePath folder = path_.substr(0, nameStart(path_)); // "": the current folder's disk
        ULARGE_INTEGER available{};
        ULARGE_INTEGER total{};
        if (win32Calls().GetDiskFreeSpaceExW(folder.empty() ? nullptr : folder.c_str(), &available, &total, nullptr) ==
            0) {
            return std::nullopt;
        }
        return Room{available.QuadPart, total.QuadPart};
    }

    bool truncate(std::uint64_t size) override
    {
        FILE_END_OF_FILE_INFO end{};
        end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
        return win32Calls().SetFileInformationByHandle(handle_, FileEndOfFileInfo, &end, sizeof end) != 0;
    }

    bool sync() override { return win32Calls().FlushFileBuffers(handle_) != 0; }

    // Over every byte the file may ever have. Windows locks are mandatory: while another handle
    // holds one exclusively, this one can neither read nor write the record.
    Outcome tryLock(Lock lock) override
    {
        OVERLAPPED whole{};
        const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (lock == Lock::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0U);
        return result(win32Calls().LockFileEx(handle_, flags, 0, MAXDWORD, MAXDWORD, &whole));
    }

private:
    HANDLE handle_;
    NativePath path_;
};

class Win32FileSystem final : public FileSystem {
public:
    // With backup semantics a folder opens too, and reports itself no record at once.
    Opened open(const NativePath& path, Access access) override
    {
        Win32Calls& calls = win32Calls();
        const DWORD rights = GENERIC_READ | (access == Access::Read ? 0U : GENERIC_WRITE);
        const HANDLE handle = calls.CreateFileW(path.c_str(), rights, shareAll, nullptr,
                                                access == Access::Create ? OPEN_ALWAYS : OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return {nullptr, outcomeOf(calls.GetLastError())};
        }
        BY_HANDLE_FILE_INFORMATION information{};
        const bool disk = calls.GetFileType(handle) == FILE_TYPE_DISK;
        if (disk && calls.GetFileInformationByHandle(handle, &information) == 0) {
            calls.CloseHandle(handle);
            return {nullptr, Outcome::Failed};
        }
        const DWORD attributes = information.dwFileAttributes;
        const FileFacts facts{
            disk && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0, (attributes & FILE_ATTRIBUTE_READONLY) != 0,
            (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32U) | information.nFileSizeLow};
        return {std::make_unique<Win32File>(handle, facts, path), Outcome::Done};
    }

    // NTFS logs a new name with the file it names, and FlushFileBuffers on the file flushes that
    // log: the folder has nothing left to flush.
    bool syncFolder(const NativePath& /*path*/) override { return true; }

    void sleep(unsigned milliseconds) override { win32Calls().Sleep(milliseconds); }
};

} // namespace

FileSystem& FileSystem::system()
{
    static Win32FileSystem files;
    return files;
}

} // namespace trelvik::platform
