// The add-in's boundary to the operating system: its own path, text conversion and the date.
// Windows builds use Win32 itself; other builds a small stand-in with the same behaviour. The
// shell is platform/Shell.h, the files platform/FileSystem.h.
#pragma once

#include <cstdint>

#include "NativePath.h"

namespace trelvik::platform {

// The full path of the add-in's own module (not the host executable's), of any length, as the
// system gives it (UTF-16 on Windows).
NativePath libraryPath();

// MultiByteToWideChar with flags 0: converts length bytes of text (which may include the
// terminator) into room units at out; with room 0 returns the units needed. Returns 0 on
// failure, with lastError() telling why (122: room too small). Undefined bytes are replaced.
int multiByteToWideChar(unsigned codePage, const char* text, int length, char16_t* out, int room);
std::uint32_t lastError();

struct LocalDate {
    int day = 1;
    int month = 1;
    int year = 1970;
};

// Today in local time.
LocalDate today();

} // namespace trelvik::platform
