// Stand-in for the Windows operations on other systems (platform/Platform.h).
#include "Platform.h"

#include <Utf8.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace trelvik::platform {

namespace {
thread_local std::uint32_t t_lastError = 0;

constexpr std::uint32_t errorInsufficientBuffer = 122;
constexpr std::uint32_t errorInvalidParameter = 87;
constexpr unsigned codePageUtf8 = 65001;

} // namespace

namespace {

NativePath findLibraryPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&findLibraryPath), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    NativePath path = info.dli_fname;
    if (path.empty() || path.front() == '/') {
        return path;
    }
    // Loaded by a relative path: relative to the working folder of this moment.
    char folder[PATH_MAX];
    return getcwd(folder, sizeof folder) != nullptr ? NativePath(folder) + "/" + path : path;
}

// Taken while the library loads: the host may change its working folder before it calls run,
// and a relative load path would then point elsewhere.
const NativePath g_libraryPath = findLibraryPath();

} // namespace

NativePath libraryPath() { return g_libraryPath; }

int multiByteToWideChar(unsigned codePage, const char* text, int length, char16_t* out, int room)
{
    if (codePage != codePageUtf8 || text == nullptr || length < 0 || room < 0) {
        t_lastError = errorInvalidParameter;
        return 0;
    }
    const std::u16string wide = plumbing::utf8ToUtf16(std::string_view(text, static_cast<std::size_t>(length)));
    if (wide.empty()) {
        t_lastError = errorInvalidParameter; // Windows fails on empty input as well
        return 0;
    }
    if (out != nullptr) {
        if (wide.size() > static_cast<std::size_t>(room)) {
            t_lastError = errorInsufficientBuffer;
            return 0;
        }
        std::copy(wide.begin(), wide.end(), out);
    }
    return static_cast<int>(wide.size());
}

std::uint32_t lastError() { return t_lastError; }

LocalDate today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

} // namespace trelvik::platform
