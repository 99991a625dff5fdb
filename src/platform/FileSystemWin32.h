// Every Win32 call the launch record makes, in one table that the record's code calls through,
// GetLastError included. It is the production path itself; a test replaces an entry to see each
// call with its arguments, refuse it with any error the system can give, or end the process there
// (the same shape as FileSystemLinux.h).
#pragma once

#include <windows.h>

namespace trelvik::platform {

// NOLINTBEGIN(readability-identifier-naming): each entry is named after the call it holds
struct Win32Calls {
    decltype(&::CreateFileW) CreateFileW = ::CreateFileW;
    decltype(&::GetFileType) GetFileType = ::GetFileType;
    decltype(&::GetFileInformationByHandle) GetFileInformationByHandle = ::GetFileInformationByHandle;
    decltype(&::ReadFile) ReadFile = ::ReadFile;
    decltype(&::WriteFile) WriteFile = ::WriteFile;
    decltype(&::SetFileInformationByHandle) SetFileInformationByHandle = ::SetFileInformationByHandle;
    decltype(&::GetDiskFreeSpaceExW) GetDiskFreeSpaceExW = ::GetDiskFreeSpaceExW;
    decltype(&::FlushFileBuffers) FlushFileBuffers = ::FlushFileBuffers;
    decltype(&::LockFileEx) LockFileEx = ::LockFileEx;
    decltype(&::CloseHandle) CloseHandle = ::CloseHandle;
    decltype(&::Sleep) Sleep = ::Sleep;
    decltype(&::GetLastError) GetLastError = ::GetLastError; // the last call's error
};
// NOLINTEND(readability-identifier-naming)

// The table in use; one per process, like the calls it stands for.
Win32Calls& win32Calls();

} // namespace trelvik::platform
