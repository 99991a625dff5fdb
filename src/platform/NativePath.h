// A file path in the system's own form: UTF-16 on Windows, bytes elsewhere, exactly as the
// system gives it (never through the ANSI code page).
//
// The add-in keeps paths in this form rather than as std::filesystem::path: the latter's
// conversions pull the standard library's locale machinery (several hundred KiB) into the
// statically linked DLL.
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

// Whether path names a place without reference to a current folder: "/…" on POSIX; "X:\…",
// "X:/…" or "\\…" on Windows.
inline bool isAbsolutePath(std::basic_string_view<PathChar> path)
{
#if defined(_WIN32)
    const auto isSeparator = [](PathChar c) { return c == L'\\' || c == L'/'; };
    return (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) ||
           (path.size() >= 3 && path[1] == L':' && isSeparator(path[2]));
#else
    return !path.empty() && path.front() == '/';
#endif
}

// Where the file name in path starts: after its last separator, or at 0.
inline std::size_t nameStart(std::basic_string_view<PathChar> path)
{
    const std::size_t separator = path.find_last_of(pathSeparators);
    return separator == std::basic_string_view<PathChar>::npos ? 0 : separator + 1;
}

// The folder part of path with its trailing separator ("" for a bare name).
inline NativePath folderOf(const NativePath& path) { return path.substr(0, nameStart(path)); }

// ASCII text in path characters.
inline NativePath asciiPath(std::string_view text) { return {text.begin(), text.end()}; }

} // namespace trelvik::platform
