#include "Win32Table.h"

#include <platform/FileSystemWin32.h>

#include <algorithm>
#include <utility>

namespace testing_support {

namespace {

using trelvik::platform::Win32Calls;
using trelvik::platform::win32Calls;

Win32Calls saved;
Win32Plan plan;
Win32Answers answers;
std::vector<Win32Call> seen;
std::int64_t unclosed = 0;

DWORD limited(DWORD size) { return std::min(size, answers.transferLimit.value_or(size)); }

// The error the plan gives this call (set as the thread's last error), or 0.
DWORD refusal(Win32Call call)
{
    seen.push_back(std::move(call));
    const DWORD error = plan ? plan(seen.back()) : 0;
    if (error != 0) {
        SetLastError(error);
    }
    return error;
}

std::uint64_t offsetOf(const OVERLAPPED* at)
{
    return at == nullptr ? 0 : (static_cast<std::uint64_t>(at->OffsetHigh) << 32U) | at->Offset;
}

// NOLINTBEGIN(readability-non-const-parameter): the system's own signatures
HANDLE WINAPI createFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                         DWORD flags, HANDLE pattern)
{
    if (refusal(Win32Call("CreateFileW", path, disposition)) != 0) {
        return INVALID_HANDLE_VALUE;
    }
    const HANDLE opened = saved.CreateFileW(path, access, share, security, disposition, flags, pattern);
    unclosed += opened != INVALID_HANDLE_VALUE ? 1 : 0;
    return opened;
}
DWORD WINAPI getFileType(HANDLE file)
{
    return refusal(Win32Call("GetFileType")) != 0 ? FILE_TYPE_UNKNOWN : saved.GetFileType(file);
}
BOOL WINAPI getFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information)
{
    if (refusal(Win32Call("GetFileInformationByHandle")) != 0 ||
        saved.GetFileInformationByHandle(file, information) == 0) {
        return FALSE;
    }
    if (answers.fileSize) {
        information->nFileSizeHigh = static_cast<DWORD>(*answers.fileSize >> 32U);
        information->nFileSizeLow = static_cast<DWORD>(*answers.fileSize);
    }
    return TRUE;
}
BOOL WINAPI readFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD got, LPOVERLAPPED at)
{
    return refusal(Win32Call("ReadFile", {}, offsetOf(at))) == 0 &&
           saved.ReadFile(file, buffer, limited(size), got, at);
}
BOOL WINAPI writeFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD put, LPOVERLAPPED at)
{
    return refusal(Win32Call("WriteFile", {}, offsetOf(at))) == 0 &&
           saved.WriteFile(file, bytes, limited(size), put, at);
}
BOOL WINAPI setFileInformationByHandle(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information, DWORD size)
{
    return refusal(Win32Call("SetFileInformationByHandle", {}, static_cast<std::uint64_t>(kind))) == 0 &&
           saved.SetFileInformationByHandle(file, kind, information, size);
}
BOOL WINAPI getDiskFreeSpaceEx(LPCWSTR folder, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER free)
{
    if (refusal(Win32Call("GetDiskFreeSpaceExW", folder != nullptr ? folder : L"")) != 0 ||
        saved.GetDiskFreeSpaceExW(folder, available, total, free) == 0) {
        return FALSE;
    }
    if (answers.available && available != nullptr) {
        available->QuadPart = *answers.available;
    }
    if (answers.total && total != nullptr) {
        total->QuadPart = *answers.total;
    }
    return TRUE;
}
BOOL WINAPI flushFileBuffers(HANDLE file)
{
    return refusal(Win32Call("FlushFileBuffers")) == 0 && saved.FlushFileBuffers(file);
}
BOOL WINAPI lockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD low, DWORD high, LPOVERLAPPED at)
{
    return refusal(Win32Call("LockFileEx", {}, flags)) == 0 && saved.LockFileEx(file, flags, reserved, low, high, at);
}
BOOL WINAPI closeHandle(HANDLE object)
{
    const bool refused = refusal(Win32Call("CloseHandle")) != 0;
    --unclosed;
    return saved.CloseHandle(object) && !refused;
}
VOID WINAPI sleepFor(DWORD milliseconds)
{
    if (refusal(Win32Call("Sleep", {}, milliseconds)) == 0) {
        saved.Sleep(milliseconds);
    }
}
// NOLINTEND(readability-non-const-parameter)

} // namespace

Win32Table::Win32Table(Win32Plan given, Win32Answers chosen)
{
    saved = win32Calls();
    plan = std::move(given);
    answers = chosen;
    unclosed = 0;
    seen.clear();
    win32Calls() = {createFile,         getFileType,      getFileInformationByHandle,
                    readFile,           writeFile,        setFileInformationByHandle,
                    getDiskFreeSpaceEx, flushFileBuffers, lockFileEx,
                    closeHandle,        sleepFor,         saved.GetLastError};
}

Win32Table::~Win32Table()
{
    win32Calls() = saved;
    plan = nullptr;
    answers = {};
}

const std::vector<Win32Call>& Win32Table::calls() const { return seen; }

std::int64_t Win32Table::unclosedHandles() const { return unclosed; }

const std::vector<std::string>& Win32Table::entries()
{
    static const std::vector<std::string> names{"CreateFileW",
                                                "GetFileType",
                                                "GetFileInformationByHandle",
                                                "ReadFile",
                                                "WriteFile",
                                                "SetFileInformationByHandle",
                                                "GetDiskFreeSpaceExW",
                                                "FlushFileBuffers",
                                                "LockFileEx",
                                                "CloseHandle",
                                                "Sleep"};
    return names;
}

} // namespace testing_support
