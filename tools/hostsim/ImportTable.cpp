#include "ImportTable.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>

namespace hostsim {

namespace {

constexpr std::uint32_t machineX64 = 0x8664;
constexpr std::uint32_t dllFlag = 0x2000;
constexpr std::uint32_t pe32Plus = 0x20B;
constexpr std::size_t sectionHeaderSize = 40;
constexpr std::size_t maximumSections = 96; // the Windows loader's own limit

// A PE32+ DLL read from its bytes: its headers checked as the loader checks them, every read
// bounds-checked, and a relative virtual address read through the section that holds it (past a
// section's bytes in the file, up to its size in memory, zeros).
class Image {
public:
    explicit Image(std::string_view bytes) : bytes_(bytes), nameBudget_(bytes.size() * nameBytesPerFileByte)
    {
        const std::uint32_t header = read(0x3C, 4);
        if (read(header, 4) != 0x00004550) {
            throw MalformedDll("no PE header");
        }
        if (read(header + 4, 2) != machineX64) {
            throw MalformedDll("not an x64 image");
        }
        if ((read(header + 22, 2) & dllFlag) == 0) {
            throw MalformedDll("not a DLL");
        }
        const std::size_t optional = header + 24;
        const std::uint32_t optionalSize = read(header + 20, 2);
        directoryCount_ = read(optional + 108, 4);
        if (read(optional, 2) != pe32Plus || directoryCount_ > 16 || optionalSize < 112 + directoryCount_ * 8) {
            throw MalformedDll("an optional header that is not PE32+ or too small for its directories");
        }
        directories_ = optional + 112;
        sections_ = optional + optionalSize;
        sectionCount_ = read(header + 6, 2);
        if (sectionCount_ > maximumSections) {
            throw MalformedDll("more sections than the loader takes");
        }
        for (std::size_t section = 0; section < sectionCount_; ++section) {
            const std::size_t at = sections_ + section * sectionHeaderSize;
            if (std::uint64_t{read(at + 20, 4)} + read(at + 16, 4) > bytes_.size()) {
                throw MalformedDll("a section larger than the file");
            }
        }
    }

    // Bytes at a file offset, as an unsigned little-endian number of size bytes (at most 4).
    [[nodiscard]] std::uint32_t read(std::size_t at, std::size_t size) const
    {
        if (at > bytes_.size() || size > bytes_.size() - at) {
            throw MalformedDll("a header outside the file");
        }
        std::uint32_t value = 0;
        for (std::size_t i = size; i > 0; --i) {
            value = (value << 8U) | static_cast<unsigned char>(bytes_[at + i - 1]);
        }
        return value;
    }

    // size bytes at a relative virtual address, as a little-endian number; all in one section.
    [[nodiscard]] std::uint32_t at(std::uint64_t rva, std::size_t size) const
    {
        const Place place = placeOf(rva, size);
        std::uint32_t value = 0;
        for (std::size_t i = size; i > 0; --i) {
            const std::uint64_t offset = rva - place.start + i - 1;
            value = (value << 8U) | (offset < place.raw ? read(place.file + offset, 1) : 0U);
        }
        return value;
    }

    // The zero-terminated name at a relative virtual address, charged to the file's budget.
    [[nodiscard]] std::string text(std::uint64_t rva)
    {
        std::string value;
        for (char c = 0; (c = static_cast<char>(at(rva + value.size(), 1))) != 0;) {
            if (value.size() == maximumNameBytes || nameBudget_ == 0) {
                throw MalformedDll("a name longer than any real DLL has, or more of them");
            }
            value.push_back(c);
            --nameBudget_;
        }
        return value;
    }

    // The relative virtual address of data directory index (0 exports, 1 imports), checked to
    // lie in one section; none when it is empty.
    [[nodiscard]] std::optional<std::uint32_t> directory(std::size_t index) const
    {
        if (index >= directoryCount_ || read(directories_ + index * 8, 4) == 0) {
            return std::nullopt;
        }
        const std::uint32_t rva = read(directories_ + index * 8, 4);
        static_cast<void>(placeOf(rva, std::max<std::uint32_t>(read(directories_ + index * 8 + 4, 4), 1)));
        return rva;
    }

private:
    struct Place {
        std::uint64_t start; // the section's relative virtual address
        std::uint64_t raw;   // its bytes in the file
        std::size_t file;    // where they are
    };

    [[nodiscard]] Place placeOf(std::uint64_t rva, std::uint64_t size) const
    {
        for (std::size_t section = 0; section < sectionCount_; ++section) {
            const std::size_t header = sections_ + section * sectionHeaderSize;
            const std::uint64_t start = read(header + 12, 4);
            const std::uint64_t raw = read(header + 16, 4);
            const std::uint64_t extent = std::max<std::uint64_t>(read(header + 8, 4), raw);
            if (rva >= start && rva - start < extent) {
                if (size > extent - (rva - start)) {
                    break;
                }
                return {start, raw, read(header + 20, 4)};
            }
        }
        throw MalformedDll("a directory or name outside the file's sections");
    }

    std::string_view bytes_;
    std::size_t nameBudget_;
    std::size_t sections_ = 0;
    std::uint32_t sectionCount_ = 0;
    std::size_t directories_ = 0;
    std::uint32_t directoryCount_ = 0;
};

bool isPe(std::string_view bytes) { return bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z'; }

std::optional<std::string> contents(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

std::optional<std::vector<ImportedLibrary>> importsOf(std::string_view file)
{
    if (!isPe(file)) {
        return std::nullopt;
    }
    Image image(file);
    std::vector<ImportedLibrary> libraries;
    const std::optional<std::uint32_t> imports = image.directory(1);
    // Import descriptors of 20 bytes, to one of zeros: names by OriginalFirstThunk (or
    // FirstThunk), the library's name at 12.
    for (std::uint64_t at = imports.value_or(0); imports && image.at(at + 12, 4) != 0; at += 20) {
        if (libraries.size() == maximumLibraries) {
            throw MalformedDll("more imported libraries than any real DLL has");
        }
        ImportedLibrary library{image.text(image.at(at + 12, 4)), {}};
        const std::uint32_t thunks = image.at(at, 4) != 0 ? image.at(at, 4) : image.at(at + 16, 4);
        for (std::uint64_t thunk = thunks;; thunk += 8) {
            const std::uint32_t low = image.at(thunk, 4);
            const std::uint32_t high = image.at(thunk + 4, 4);
            if (low == 0 && high == 0) {
                break;
            }
            // The top bit: by ordinal; otherwise the name follows a two-byte hint.
            // (Appended: GCC 12 at -O3 warns falsely, -Wrestrict, on "#" + text.)
            library.functions.push_back((high & 0x80000000U) != 0
                                            ? std::string(1, '#').append(std::to_string(low & 0xFFFFU))
                                            : image.text(std::uint64_t{low} + 2));
        }
        libraries.push_back(std::move(library));
    }
    return libraries;
}

std::optional<std::vector<ImportedLibrary>> readImports(const std::filesystem::path& dll)
{
    const std::optional<std::string> file = contents(dll);
    return file ? importsOf(*file) : std::nullopt;
}

std::optional<std::vector<std::string>> readExports(const std::filesystem::path& dll)
{
    const std::optional<std::string> file = contents(dll);
    return file ? exportsOf(*file) : std::nullopt;
}

std::optional<std::vector<std::string>> exportsOf(std::string_view file)
{
    if (!isPe(file)) {
        return std::nullopt;
    }
    Image image(file);
    std::vector<std::string> names;
    if (const std::optional<std::uint32_t> exports = image.directory(0)) {
        // The export directory: the number of names at 24, the table of their addresses at 32.
        const std::uint32_t table = image.at(*exports + 32, 4);
        for (std::uint32_t name = 0; name < image.at(*exports + 24, 4); ++name) {
            names.push_back(image.text(image.at(std::uint64_t{table} + name * 4, 4)));
        }
    }
    return names;
}

bool isPlainFileName(std::string_view name)
{
    if (name.empty() || name.size() > 255 || name == "." || name == ".." ||
        std::any_of(name.begin(), name.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 ||
                   std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
        })) {
        return false;
    }
    // A device answers to its name with any extension, in any case, and with spaces before the dot.
    std::string stem(name.substr(0, name.find('.')));
    stem.erase(stem.find_last_not_of(' ') + 1);
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    constexpr std::array<std::string_view, 6> devices{"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    const bool numbered =
        stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '0' && stem[3] <= '9';
    return !numbered && std::find(devices.begin(), devices.end(), stem) == devices.end();
}

} // namespace hostsim
