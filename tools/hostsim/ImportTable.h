// What a Windows DLL imports, library by library, and what it exports, read from the file itself
// (PE32+), on any platform. The reader vouches for what it returns: a file it cannot read as the
// Windows loader would (damaged, of another machine, not a DLL, or asking for more than any real
// DLL holds) is refused with the reason, before any loader sees it.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace hostsim {

struct ImportedLibrary {
    bool operator==(const ImportedLibrary&) const = default;
    std::string name;                   // as the DLL names it ("core.dll")
    std::vector<std::string> functions; // imported by name; by ordinal as "#N"
};

// A PE file the reader cannot vouch for; what() says why.
struct MalformedDll : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Bounds no real DLL comes near: libraries imported, and bytes of one name.
inline constexpr std::size_t maximumLibraries = 1024;
inline constexpr std::size_t maximumNameBytes = 4096;
// All the names read from one file together: at most this many times its size.
inline constexpr std::size_t nameBytesPerFileByte = 4;

// None when the file is not a PE file at all (no "MZ"), or cannot be read; throws MalformedDll.
std::optional<std::vector<ImportedLibrary>> importsOf(std::string_view file);
std::optional<std::vector<std::string>> exportsOf(std::string_view file); // the names it exports
std::optional<std::vector<ImportedLibrary>> readImports(const std::filesystem::path& dll);
std::optional<std::vector<std::string>> readExports(const std::filesystem::path& dll);

// Whether name is a plain file name Windows would open as a file in a given folder: no folder,
// drive or stream, no "." or "..", no device (CON, NUL, COM1 ...), no control character.
bool isPlainFileName(std::string_view name);

} // namespace hostsim
