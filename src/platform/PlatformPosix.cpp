// Stand-in for the Windows operations on other systems.
#include "Platform.h"

#include "ShellStub.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include <ctime>

namespace trelvik::platform {

namespace {
thread_local std::uint32_t t_lastError = 0;

constexpr std::uint32_t errorInsufficientBuffer = 122;
constexpr std::uint32_t errorInvalidParameter = 87;
constexpr unsigned codePageUtf8 = 65001;

// Decodes one UTF-8 sequence at text[i] (length bytes in all); invalid input yields U+FFFD and
// consumes one byte, as Windows does without MB_ERR_INVALID_CHARS.
char32_t decodeOne(const unsigned char* text, int length, int& i)
{
    const unsigned char lead = text[i];
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        cp = lead & 0x1FU;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        cp = lead & 0x0FU;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        cp = lead & 0x07U;
        minimum = 0x10000;
    } else {
        ++i;
        return 0xFFFD;
    }
    int j = i + 1;
    for (int k = 0; k < extra; ++k, ++j) {
        if (j >= length || (text[j] & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (text[j] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i = j;
    return cp;
}
} // namespace

NativePath libraryPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&libraryPath), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    NativePath path = info.dli_fname;
    if (path.empty() || path.front() == '/') {
        return path;
    }
    // Loaded by a relative path: relative to the working folder, which has not changed since.
    char folder[PATH_MAX];
    return getcwd(folder, sizeof folder) != nullptr ? NativePath(folder) + "/" + path : path;
}

int multiByteToWideChar(unsigned codePage, const char* text, int length, char16_t* out, int room)
{
    if (codePage != codePageUtf8 || text == nullptr || length < 0 || room < 0) {
        t_lastError = errorInvalidParameter;
        return 0;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    int written = 0;
    for (int i = 0; i < length;) {
        const char32_t cp = decodeOne(bytes, length, i);
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

void shellExecute(const char16_t* verb, const char16_t* file, const char16_t* parameters, const char16_t* directory,
                  int show)
{
    shellstub_open(verb, file, parameters, directory, show);
}

LocalDate today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

} // namespace trelvik::platform
