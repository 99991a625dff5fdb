// Opening a link or file through the shell: ShellExecuteW on Windows; elsewhere the desktop's
// opener, or in the simulated host's build its record of the call (host/shellstub), so that a
// test sees what would have been opened.
#pragma once

namespace trelvik::platform {

// SW_SHOWNORMAL: how the shell shows what it opens.
inline constexpr int showNormal = 1;

// ShellExecuteW with no owner window. The outcome is not reported.
void shellExecute(const char16_t* verb, const char16_t* file, const char16_t* parameters, const char16_t* directory,
                  int show);

} // namespace trelvik::platform
