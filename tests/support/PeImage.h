// A minimal PE32+ DLL, made byte by byte, that imports functions by name from one library and
// exports names of its own: the well-formed start from which the tests of hostsim's DLL reader
// make their damaged files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct PeImage {
    // Where the fields a test damages lie in the file.
    static constexpr std::size_t peHeader = 0x40;
    static constexpr std::size_t machine = peHeader + 4;
    static constexpr std::size_t optionalSize = peHeader + 20;
    static constexpr std::size_t characteristics = peHeader + 22;
    static constexpr std::size_t optional = peHeader + 24;
    static constexpr std::size_t exportDirectory = optional + 112; // its address, then its size
    static constexpr std::size_t importDirectory = optional + 112 + 8;
    static constexpr std::size_t section = optional + 240; // the one section's header
    static constexpr std::size_t sectionRva = 0x1000;
    static constexpr std::size_t sectionFile = 0x200;

    std::string library = "core.dll";
    std::vector<std::string> functions{"?get_raw@Application@core@adsk@@CAPEAV123@XZ", "DeallocateArrayInternal"};
    std::size_t repeats = 0; // thunks more, each naming the first function again
    std::vector<std::string> exports{"run", "stop"};
    std::size_t sections = 1; // the one that holds the data, then empty ones

    // The file's bytes; the section's data is all of the file after sectionFile.
    [[nodiscard]] std::string bytes() const
    {
        std::string data(40, '\0'); // two import descriptors: this library's, then zeros
        const auto put = [](std::string& into, std::size_t at, std::uint64_t value, int size) {
            for (int i = 0; i < size; ++i) {
                into[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFFU);
            }
        };
        const std::size_t thunks = data.size();
        data.resize(thunks + (functions.size() + repeats + 1) * 8, '\0');
        const std::size_t first = data.size();
        for (std::size_t i = 0; i < functions.size(); ++i) {
            put(data, thunks + i * 8, sectionRva + data.size(), 8);
            data.append(2, '\0').append(functions[i]).push_back('\0'); // hint, name
        }
        for (std::size_t i = functions.size(); i < functions.size() + repeats; ++i) {
            put(data, thunks + i * 8, sectionRva + first, 8);
        }
        put(data, 0, sectionRva + thunks, 4);  // names by OriginalFirstThunk
        put(data, 16, sectionRva + thunks, 4); // FirstThunk
        put(data, 12, sectionRva + data.size(), 4);
        data.append(library).push_back('\0');
        // The export directory (40 bytes; none without exports): the number of names at 24, the
        // table of their addresses at 32, which the names follow.
        const std::size_t exportsAt = data.size();
        data.resize(exportsAt + (exports.empty() ? 0 : 40 + exports.size() * 4), '\0');
        if (!exports.empty()) {
            put(data, exportsAt + 24, exports.size(), 4);
            put(data, exportsAt + 32, sectionRva + exportsAt + 40, 4);
        }
        for (std::size_t i = 0; i < exports.size(); ++i) {
            put(data, exportsAt + 40 + i * 4, sectionRva + data.size(), 4);
            data.append(exports[i]).push_back('\0');
        }

        const std::size_t headers = sectionFile + (sections - 1) * 40;
        std::string file(headers, '\0');
        file[0] = 'M';
        file[1] = 'Z';
        put(file, 0x3C, peHeader, 4);
        file.replace(peHeader, 4, std::string("PE\0\0", 4));
        put(file, machine, 0x8664, 2);
        put(file, peHeader + 6, sections, 2);
        put(file, optionalSize, 240, 2);
        put(file, characteristics, 0x2022, 2); // DLL, executable, large addresses
        put(file, optional, 0x20B, 2);
        put(file, optional + 108, 16, 4); // directories
        put(file, importDirectory, sectionRva, 4);
        put(file, importDirectory + 4, 40, 4);
        put(file, exportDirectory, exports.empty() ? 0 : sectionRva + exportsAt, 4);
        put(file, exportDirectory + 4, exports.empty() ? 0 : 40, 4);
        file.replace(section, 6, ".idata");
        put(file, section + 8, data.size(), 4); // its size in memory
        put(file, section + 12, sectionRva, 4);
        put(file, section + 16, data.size(), 4); // its bytes in the file, and where
        put(file, section + 20, headers, 4);
        for (std::size_t more = 1; more < sections; ++more) { // empty, each at an address of its own
            put(file, section + more * 40 + 12, sectionRva * (more + 1), 4);
        }
        return file + data;
    }
};

// Writes value into bytes at, little-endian.
inline std::string patched(std::string bytes, std::size_t at, std::uint64_t value, int size = 4)
{
    for (int i = 0; i < size; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFFU);
    }
    return bytes;
}

} // namespace testing_support
