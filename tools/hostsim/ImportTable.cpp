#include "ImportTable.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

namespace hostsim {

namespace {

// A PE32+ image read from its file: bounds-checked little-endian reads, and the file offset of a
// relative virtual address through the section table. Any read outside the file fails the whole.
class Image {
public:
    explicit Image(const std::filesystem::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const std::uint32_t header = read(0x3C, 4);
        const std::uint32_t optional = header + 24;
        if (read(0, 2) != 0x5A4D || read(header, 4) != 0x00004550 || read(optional, 2) != 0x20B) {
            throw Malformed(); // "MZ", "PE\0\0", PE32+
        }
        sections_ = optional + read(header + 20, 2);
        sectionCount_ = read(header + 6, 2);
        directories_ = optional + 112;
        directoryCount_ = read(optional + 108, 4);
    }

    struct Malformed {};

    // Bytes at a file offset, as an unsigned little-endian number of size bytes (at most 4).
    [[nodiscard]] std::uint32_t read(std::size_t at, std::size_t size) const
    {
        if (at > bytes_.size() || size > bytes_.size() - at) {
            throw Malformed();
        }
        std::uint32_t value = 0;
        for (std::size_t i = size; i > 0; --i) {
            value = (value << 8U) | static_cast<unsigned char>(bytes_[at + i - 1]);
        }
        return value;
    }
    // The file offset of a relative virtual address.
    [[nodiscard]] std::size_t offset(std::uint32_t rva) const
    {
        for (std::size_t section = 0; section < sectionCount_; ++section) {
            const std::size_t at = sections_ + section * 40;
            const std::uint32_t start = read(at + 12, 4);
            const std::uint32_t size = std::max(read(at + 8, 4), read(at + 16, 4));
            if (rva >= start && rva - start < size) {
                return read(at + 20, 4) + (rva - start);
            }
        }
        throw Malformed();
    }
    [[nodiscard]] std::string text(std::uint32_t rva) const
    {
        std::string value;
        for (std::size_t at = offset(rva); read(at, 1) != 0; ++at) {
            value.push_back(static_cast<char>(read(at, 1)));
        }
        return value;
    }
    // The file offset of data directory index (0 exports, 1 imports), or none when it is empty.
    [[nodiscard]] std::optional<std::size_t> directory(std::size_t index) const
    {
        if (index >= directoryCount_ || read(directories_ + index * 8, 4) == 0) {
            return std::nullopt;
        }
        return offset(read(directories_ + index * 8, 4));
    }

private:
    std::string bytes_;
    std::size_t sections_ = 0;
    std::uint32_t sectionCount_ = 0;
    std::size_t directories_ = 0;
    std::uint32_t directoryCount_ = 0;
};

template <class Read> auto orNone(Read read) -> std::optional<decltype(read())>
{
    try {
        return read();
    } catch (const Image::Malformed&) {
        return std::nullopt;
    }
}

} // namespace

std::optional<std::vector<ImportedLibrary>> readImports(const std::filesystem::path& dll)
{
    return orNone([&] {
        const Image image(dll);
        std::vector<ImportedLibrary> libraries;
        const std::optional<std::size_t> imports = image.directory(1);
        // Import descriptors of 20 bytes, to one of zeros: names by OriginalFirstThunk (or
        // FirstThunk), the library's name at 12.
        for (std::size_t at = imports.value_or(0); imports && image.read(at + 12, 4) != 0; at += 20) {
            ImportedLibrary library{image.text(image.read(at + 12, 4)), {}};
            const std::uint32_t thunks = image.read(at, 4) != 0 ? image.read(at, 4) : image.read(at + 16, 4);
            for (std::size_t thunk = image.offset(thunks);; thunk += 8) {
                const std::uint32_t low = image.read(thunk, 4);
                const std::uint32_t high = image.read(thunk + 4, 4);
                if (low == 0 && high == 0) {
                    break;
                }
                // The top bit: by ordinal; otherwise the name follows a two-byte hint.
                // (Appended: GCC 12 at -O3 warns falsely, -Wrestrict, on "#" + text.)
                library.functions.push_back((high & 0x80000000U) != 0
                                                ? std::string(1, '#').append(std::to_string(low & 0xFFFFU))
                                                : image.text(low + 2));
            }
            libraries.push_back(std::move(library));
        }
        return libraries;
    });
}

std::optional<std::vector<std::string>> readExports(const std::filesystem::path& dll)
{
    return orNone([&] {
        const Image image(dll);
        std::vector<std::string> names;
        if (const std::optional<std::size_t> exports = image.directory(0)) {
            // The export directory: the number of names at 24, the table of their addresses at 32.
            const std::size_t table = image.offset(image.read(*exports + 32, 4));
            for (std::size_t name = 0; name < image.read(*exports + 24, 4); ++name) {
                names.push_back(image.text(image.read(table + name * 4, 4)));
            }
        }
        return names;
    });
}

} // namespace hostsim
