// The start-up of a DLL without the Visual C++ run-time: what its static part does at load and
// unload. At process attach the C++ initialisers the compiler placed between .CRT$XCA and
// .CRT$XCZ run (the add-in's static handler objects are built then); destructors registered with
// atexit (AtExit.cpp) go to the module's own exit list, run at process detach (FreeLibrary), so
// the objects end when the library is unloaded, not when the process exits. The stack cookie is
// set first of all.
#include <corecrt_startup.h>
#include <cstdint>
#include <cstdlib>
#include <windows.h>

namespace {

using InitializerFunction = void __cdecl();
using Initializer = InitializerFunction*;

#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)
__declspec(allocate(".CRT$XCA")) InitializerFunction* const firstInitializer = nullptr;
__declspec(allocate(".CRT$XCZ")) InitializerFunction* const lastInitializer = nullptr;

} // namespace

extern "C" {

_onexit_table_t moduleExitList; // AtExit.cpp adds to it

void __cdecl __security_init_cookie(); // SecurityCookie.cpp

// Set by the compiler's users of floating point; its presence is all the linker checks.
int _fltused = 0;

// Called where a noexcept function lets an exception out.
[[noreturn]] void __std_terminate() { std::abort(); }

BOOL WINAPI _DllMainCRTStartup(HINSTANCE /*instance*/, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH) {
        // Before any function with a stack cookie runs (this file is compiled without them).
        __security_init_cookie();
        if (_initialize_onexit_table(&moduleExitList) != 0) {
            return FALSE;
        }
        // Walked by address: the two markers are the ends of one run of entries the linker
        // made, which the compiler cannot know (nor so assume anything about their distance).
        const auto end = reinterpret_cast<std::uintptr_t>(&lastInitializer);
        for (auto at = reinterpret_cast<std::uintptr_t>(&firstInitializer) + sizeof(Initializer); at < end;
             at += sizeof(Initializer)) {
            if (InitializerFunction* const initializer = *reinterpret_cast<const Initializer*>(at)) {
                initializer();
            }
        }
    } else if (reason == DLL_PROCESS_DETACH) {
        _execute_onexit_table(&moduleExitList);
    }
    return TRUE;
}

} // extern "C"
