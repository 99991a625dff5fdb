// The shell outside Windows and the simulated host: the desktop's opener.
#include "Shell.h"

#include <Utf8.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace trelvik::platform {

// "open" hands the link to the desktop's opener as one argument (no shell in between) and does
// not wait for it.
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
    std::string link = plumbing::utf16ToUtf8(file);
    char* arguments[] = {opener, link.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, opener, nullptr, nullptr, arguments, environ) == 0) {
        waitpid(child, nullptr, WNOHANG);
    }
}

} // namespace trelvik::platform
