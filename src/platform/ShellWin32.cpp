// The shell on Windows: ShellExecuteW itself.
#include "Shell.h"

#include <windows.h>

#include <shellapi.h>

namespace trelvik::platform {

namespace {
const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
} // namespace

void shellExecute(const char16_t* verb, const char16_t* file, const char16_t* parameters, const char16_t* directory,
                  int show)
{
    ShellExecuteW(nullptr, wide(verb), wide(file), wide(parameters), wide(directory), show);
}

} // namespace trelvik::platform
