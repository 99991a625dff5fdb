// A file path in the system's own form: UTF-16 on Windows, bytes elsewhere, exactly as the
// system gives it (never through the ANSI code page). Not std::filesystem::path, whose conversions
// pull the standard library's locale machinery (several hundred KiB) into the DLL.
#pragma once

#include <string>
#include <string_view>

namespace trelvik::platform {

#if defined(_WIN32)
using PathChar = wchar_t;
inline constexpr std::wstring_view pathSeparators = L"\\/";
#else
using PathChar = char;
inline constexpr std::string_view pathSeparators = "/";
#endif

// Same as std::filesystem::path::string_type.
using NativePath = std::basic_string<PathChar>;

// Where the file name in path starts: after its last separator, or at 0.
inline std::size_t nameStart(std::basic_string_view<PathChar> path)
{
    const std::size_t separator = path.find_last_of(pathSeparators);
    return separator == std::basic_string_view<PathChar>::npos ? 0 : separator + 1;
}

// ASCII text in path characters.
inline NativePath asciiPath(std::string_view text) { return {text.begin(), text.end()}; }

} // namespace trelvik::platform
