// atexit for a DLL: the module's own exit list (DllStartup.cpp runs it at unload), as the Visual
// C++ run-time's static part gives each module. Kept apart from the C run-time's headers, which
// declare atexit as ucrtbase's (the process's list, run only when the process exits).
#include <corecrt_startup.h>

extern "C" _onexit_table_t moduleExitList;

extern "C" int __cdecl atexit(void(__cdecl* function)())
{
    return _register_onexit_function(&moduleExitList, reinterpret_cast<_onexit_t>(function));
}
