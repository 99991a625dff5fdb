// What a Windows DLL imports, library by library, and what it exports, read from the file itself
// (PE32+), on any platform.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace hostsim {

struct ImportedLibrary {
    std::string name;                   // as the DLL names it ("core.dll")
    std::vector<std::string> functions; // imported by name; by ordinal as "#N"
};

// None when the file cannot be read or is not a 64-bit Windows DLL.
std::optional<std::vector<ImportedLibrary>> readImports(const std::filesystem::path& dll);
std::optional<std::vector<std::string>> readExports(const std::filesystem::path& dll);

} // namespace hostsim
