// The shell in the simulated host's build: the call goes to the host's record of it.
#include "Shell.h"

#include <ShellStub.h>

namespace trelvik::platform {

void shellExecute(const char16_t* verb, const char16_t* file, const char16_t* parameters, const char16_t* directory,
                  int show)
{
    shellstub_open(verb, file, parameters, directory, show);
}

} // namespace trelvik::platform
