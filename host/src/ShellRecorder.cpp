#include "ShellRecorder.h"

#include "Recorder.h"

#include <Utf8.h>

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
std::string toUtf8(const char16_t* text) { return text != nullptr ? plumbing::utf16ToUtf8(text) : std::string(); }

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
