// The Windows operations, from Windows itself.
#include "Platform.h"

#include <windows.h>

#include <string>

namespace trelvik::platform {

NativePath libraryPath()
{
    HMODULE self = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&libraryPath), &self) == 0) {
        return {};
    }
    // Grow until the whole path fits: long paths are not cut at MAX_PATH.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(self, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        if (buffer.size() >= 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

int multiByteToWideChar(unsigned codePage, const char* text, int length, char16_t* out, int room)
{
    return MultiByteToWideChar(codePage, 0, text, length, reinterpret_cast<wchar_t*>(out), room);
}

std::uint32_t lastError() { return GetLastError(); }

LocalDate today()
{
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return {local.wDay, local.wMonth, local.wYear};
}

} // namespace trelvik::platform
