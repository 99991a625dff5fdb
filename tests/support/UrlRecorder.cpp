#include "UrlRecorder.h"

#include "TestPaths.h"

#include <chrono>
#include <sstream>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace testing_support {

#if defined(_WIN32)
// Makes url_recorder.exe the handler of http and https links, writing to logFile. Wine
// resolves URL handlers in HKEY_CLASSES_ROOT only, so the prefix-wide classes are changed.
void registerUrlRecorder(const std::filesystem::path& logFile)
{
    const std::wstring command = L"\"" + (binaryDirectory() / "url_recorder.exe").wstring() + L"\" \"%1\"";
    for (const wchar_t* scheme : {L"http", L"https"}) {
        const std::wstring key = std::wstring(scheme) + L"\\shell\\open\\command";
        HKEY handle = nullptr;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(handle);
        }
    }
    SetEnvironmentVariableW(L"TRELVIK_URL_LOG", logFile.c_str());
}

#else
void registerUrlRecorder(const std::filesystem::path& /*logFile*/) {}
#endif

std::vector<std::string> readUrlLog(const std::filesystem::path& logFile, std::size_t atLeast)
{
    std::vector<std::string> opened;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        opened.clear();
        std::istringstream lines(readBytes(logFile));
        for (std::string line; std::getline(lines, line);) {
            opened.push_back(line);
        }
        if (opened.size() >= atLeast || std::chrono::steady_clock::now() > deadline) {
            return opened;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace testing_support
