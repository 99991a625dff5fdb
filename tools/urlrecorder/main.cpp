// url_recorder: stands in for the default browser in the Windows tests. Registered as the
// handler of http and https URLs, it appends the URL it is given, as UTF-8, to the file named
// by the environment variable TRELVIK_URL_LOG.
#include <Utf8.h>

#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv)
{
    wchar_t logPath[32768];
    if (argc < 2 || GetEnvironmentVariableW(L"TRELVIK_URL_LOG", logPath, 32768) == 0) {
        return 2;
    }
    std::string line = plumbing::utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[1])) + '\n';
    // Appends are atomic per write, so recorders started close together do not mix lines.
    HANDLE log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) {
        return 3;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
    return ok ? 0 : 4;
}
