// Stand-in for the Windows operations on other systems.
#include "Platform.h"

#if defined(TRELVIK_SIMULATED_SHELL)
#include "ShellStub.h"
#else
#include <spawn.h>
#include <sys/wait.h>
#endif
#include "Utf8.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>

#include <ctime>
#include <optional>
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
    const std::string_view bytes(text, static_cast<std::size_t>(length));
    int written = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        // Invalid input becomes U+FFFD, one byte at a time, as Windows does without
        // MB_ERR_INVALID_CHARS.
        std::optional<char32_t> decoded = decodeUtf8(bytes, i);
        if (!decoded) {
            ++i;
            decoded = U'\uFFFD';
        }
        const char32_t cp = *decoded;
        const int units = cp >= 0x10000 ? 2 : 1;
        if (out != nullptr) {
            if (written + units > room) {
                t_lastError = errorInsufficientBuffer;
                return 0;
            }
            if (units == 2) {
                out[written] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                out[written + 1] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                out[written] = static_cast<char16_t>(cp);
            }
        }
        written += units;
    }
    if (written == 0) {
        t_lastError = errorInvalidParameter; // Windows fails on empty input as well
        return 0;
    }
    return written;
}

std::uint32_t lastError() { return t_lastError; }

#if defined(TRELVIK_SIMULATED_SHELL)
void shellExecute(const char16_t* verb, const char16_t* file, const char16_t* parameters, const char16_t* directory,
                  int show)
{
    shellstub_open(verb, file, parameters, directory, show);
}
#else
namespace {

// UTF-16 to UTF-8 for the desktop's opener; unpaired surrogates are dropped.
std::string toUtf8(const char16_t* text)
{
    std::string out;
    for (const char16_t* p = text; *p != 0; ++p) {
        char32_t cp = *p;
        if (cp >= 0xD800 && cp <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10U) + (p[1] - 0xDC00);
            ++p;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6U));
            out += static_cast<char>(0x80 | (cp & 0x3FU));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12U));
            out += static_cast<char>(0x80 | ((cp >> 6U) & 0x3FU));
            out += static_cast<char>(0x80 | (cp & 0x3FU));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18U));
            out += static_cast<char>(0x80 | ((cp >> 12U) & 0x3FU));
            out += static_cast<char>(0x80 | ((cp >> 6U) & 0x3FU));
            out += static_cast<char>(0x80 | (cp & 0x3FU));
        }
    }
    return out;
}

} // namespace

// Outside the simulated host, "open" hands the link to the desktop's opener as one argument
// (no shell in between) and does not wait for it.
void shellExecute(const char16_t* /*verb*/, const char16_t* file, const char16_t* /*parameters*/,
                  const char16_t* /*directory*/, int /*show*/)
{
    if (file == nullptr) {
        return;
    }
#if defined(__APPLE__)
    char opener[] = "open";
#else
    char opener[] = "xdg-open";
#endif
    std::string link = toUtf8(file);
    char* arguments[] = {opener, link.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, opener, nullptr, nullptr, arguments, environ) == 0) {
        waitpid(child, nullptr, WNOHANG);
    }
}
#endif

LocalDate today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

} // namespace trelvik::platform
