#include "ShellRecorder.h"

#include "Recorder.h"

#if !defined(_WIN32)
#include "../shellstub/ShellStub.h"
#endif

#include <string>

namespace simhost {

#if defined(_WIN32)
void recordShellOpens(Recorder* /*recorder*/) {}
#else
namespace {

// UTF-16 to UTF-8 for the trace; unpaired surrogates become U+FFFD.
std::string toUtf8(const char16_t* text)
{
    std::string out;
    if (text == nullptr) {
        return out;
    }
    for (const char16_t* p = text; *p != 0; ++p) {
        char32_t cp = *p;
        if (cp >= 0xD800 && cp <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

void record(void* context, const char16_t* verb, const char16_t* file, const char16_t* parameters,
            const char16_t* directory, int show)
{
    auto& entry = static_cast<Recorder*>(context)->trace("op", "shellOpen");
    entry.add("verb", toUtf8(verb)).add("file", toUtf8(file)).add("show", static_cast<std::int64_t>(show));
    if (parameters != nullptr) {
        entry.add("parameters", toUtf8(parameters));
    }
    if (directory != nullptr) {
        entry.add("directory", toUtf8(directory));
    }
}

} // namespace

void recordShellOpens(Recorder* recorder) { shellstub_set_recorder(recorder != nullptr ? &record : nullptr, recorder); }
#endif

} // namespace simhost
