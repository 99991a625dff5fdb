// /GS: the stack cookie. Functions with a buffer on their stack store __security_cookie (xored
// with their frame) below it at entry and have __security_check_cookie compare it before they
// return; a buffer overrun that reached the return address changed it on the way, and the
// process ends at once (fail-fast) rather than return through it. The Visual C++ run-time's
// static part provides these; this file is compiled without the cookie checks itself.
#include <cstdint>
#include <intrin.h>
#include <windows.h>

extern "C" {

// The value every image starts with. The loader replaces it (the load configuration points it
// there, LoadConfig.cpp); __security_init_cookie makes its own where a loader did not.
constexpr std::uintptr_t defaultSecurityCookie = 0x00002B992DDFA232ULL;
std::uintptr_t __security_cookie = defaultSecurityCookie;

// Called first at process attach, before any function with a cookie runs.
void __cdecl __security_init_cookie()
{
    if (__security_cookie != defaultSecurityCookie) {
        return;
    }
    // What differs between processes and between starts: time, ids, counters, an address.
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    std::uintptr_t cookie = (static_cast<std::uintptr_t>(now.dwHighDateTime) << 32U) ^ now.dwLowDateTime;
    cookie ^= static_cast<std::uintptr_t>(GetCurrentProcessId()) << 16U;
    cookie ^= static_cast<std::uintptr_t>(GetCurrentThreadId());
    cookie ^= static_cast<std::uintptr_t>(counter.QuadPart) << 32U ^ static_cast<std::uintptr_t>(counter.QuadPart);
    cookie ^= reinterpret_cast<std::uintptr_t>(&cookie);
    // As Visual C++ does: the top 16 bits clear, so a cookie can never be a valid address's
    // neighbour in the user range, and never the default.
    cookie &= 0x0000FFFFFFFFFFFFULL;
    if (cookie == defaultSecurityCookie) {
        ++cookie;
    }
    __security_cookie = cookie;
}

// cookie: the value the returning function kept, unxored. A mismatch ends the process at once,
// without running any more of its code (no handler, no unwinding).
void __cdecl __security_check_cookie(std::uintptr_t cookie)
{
    if (cookie != __security_cookie) {
        __fastfail(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
    }
}

} // extern "C"
