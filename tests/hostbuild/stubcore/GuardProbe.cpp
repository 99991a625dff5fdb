// Test-only functions in a DLL of the host's ABI, built with the same toolchain and run-time
// support as the add-in: what /GS does there, seen from outside.
#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" std::uintptr_t __security_cookie;

// This process's stack cookie.
extern "C" __declspec(dllexport) std::uintptr_t guardCookie() { return __security_cookie; }

// Writes length bytes into a 16-byte buffer on its own stack: beyond 16 it overruns the frame,
// and the cookie check before its return must end the process there and then.
extern "C" __declspec(dllexport) int guardOverrun(const char* text, std::size_t length)
{
    char buffer[16];
    std::memcpy(buffer, text, length); // NOLINT: the overrun is the point
    volatile char sink = buffer[0];
    return sink;
}
