#include "ShellStub.h"

namespace {
ShellStubRecorder g_recorder = nullptr;
void* g_context = nullptr;
} // namespace

extern "C" {

void shellstub_set_recorder(ShellStubRecorder recorder, void* context)
{
    g_recorder = recorder;
    g_context = context;
}

int shellstub_open(const char16_t* verb, const char16_t* file, const char16_t* parameters, const char16_t* directory,
                   int show)
{
    if (g_recorder == nullptr) {
        return 2;
    }
    g_recorder(g_context, verb, file, parameters, directory, show);
    return 42;
}
}
