// hostsim's DLL reader against damaged and hostile files: it refuses what the Windows loader would
// not take, or what asks for more than any real DLL, with the reason, and never hangs, crashes or
// allocates out of proportion to the file.
#include "support/PeImage.h"

#include <ImportTable.h>

#include <gtest/gtest.h>

using testing_support::patched;
using testing_support::PeImage;

namespace {

std::string withSections(std::size_t sections)
{
    PeImage image;
    image.sections = sections;
    return image.bytes();
}

// What the reader gives of a well-formed DLL is all of it and no more: every import, every export
// name, a directory that fills its section to the last byte, as many sections as the loader takes.
TEST(ImportTable, ReadsTheImportsAndExportsOfAWellFormedDll)
{
    const PeImage image;
    const auto imports = hostsim::importsOf(image.bytes());
    ASSERT_TRUE(imports.has_value());
    ASSERT_EQ(imports->size(), 1U);
    EXPECT_EQ(imports->front().name, "core.dll");
    EXPECT_EQ(imports->front().functions, image.functions);
    EXPECT_EQ(hostsim::exportsOf(image.bytes()), image.exports);
    const std::string good = image.bytes();
    const std::string filled = patched(good, PeImage::importDirectory + 4, good.size() - PeImage::sectionFile);
    EXPECT_EQ(hostsim::importsOf(filled), imports) << "a directory that ends where its section does";
    EXPECT_EQ(hostsim::importsOf(withSections(96)), imports) << "96 sections, the loader's most";
    EXPECT_FALSE(hostsim::importsOf(std::string("\x7f"
                                                "ELF\2\1\1",
                                                7))
                     .has_value())
        << "not a PE file";
}

TEST(ImportTable, DamagedFilesAreRefusedWithTheirReason)
{
    const std::string good = PeImage().bytes();
    PeImage thunks; // 32,768 imports naming one long name: gigabytes, were each name copied
    thunks.functions.assign(1, std::string(4000, 'n'));
    thunks.repeats = 32767;
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    const std::vector<Case> cases{
        {"no PE header", patched(good, PeImage::peHeader, 0x4550 + 1), "no PE header"},
        {"x86", patched(good, PeImage::machine, 0x14C, 2), "not an x64 image"},
        {"an executable", patched(good, PeImage::characteristics, 0x0022, 2), "not a DLL"},
        {"optional header too small", patched(good, PeImage::optionalSize, 100, 2), "optional header"},
        {"optional header too small for its 16 directories", patched(good, PeImage::optionalSize, 112 + 15 * 8, 2),
         "optional header"},
        {"imports past the end", patched(good, PeImage::importDirectory, 0x7FFF0000), "outside the file's sections"},
        {"imports larger than their section", patched(good, PeImage::importDirectory + 4, 0x100000),
         "outside the file's sections"},
        {"imports one byte past their section's end",
         patched(good, PeImage::importDirectory + 4, good.size() - PeImage::sectionFile + 1),
         "outside the file's sections"},
        {"more sections than the loader takes", withSections(97), "more sections"},
        {"a section larger than the file", patched(good, PeImage::section + 16, 0x100000), "larger than the file"},
        {"headers cut short", good.substr(0, 0x100), "outside the file"},
        {"32,768 thunks of one long name", thunks.bytes(), "longer than any real DLL"},
    };
    for (const Case& c : cases) {
        try {
            hostsim::importsOf(c.bytes);
            ADD_FAILURE() << c.name << ": read";
        } catch (const hostsim::MalformedDll& refused) {
            EXPECT_NE(std::string(refused.what()).find(c.reason), std::string::npos)
                << c.name << ": " << refused.what();
        }
    }
}

// Past a section's bytes in the file and up to its size in memory, the loader gives zeros: a name
// that runs to the end of the section's bytes ends there, whatever the file holds after them.
TEST(ImportTable, ASectionsTailIsZerosNotTheBytesAfterIt)
{
    PeImage image;
    image.exports.clear(); // the library's name last
    std::string bytes = image.bytes();
    const std::size_t raw = bytes.size() - PeImage::sectionFile - 1; // without the name's terminator
    bytes = patched(bytes, PeImage::section + 16, raw);
    bytes = patched(bytes, PeImage::section + 8, raw + 64);
    bytes.back() = 'X'; // the next bytes of the file
    const auto imports = hostsim::importsOf(bytes);
    ASSERT_TRUE(imports.has_value());
    EXPECT_EQ(imports->front().name, "core.dll");
}

TEST(ImportTable, OnlyAPlainFileNameNamesTheInterfaceLibrary)
{
    for (const char* name : {"core.dll", "XInterface10.dll", "a b.dll", "console.dll", "com10.dll"}) {
        EXPECT_TRUE(hostsim::isPlainFileName(name)) << name;
    }
    for (const std::string& name : std::vector<std::string>{"..\\abcd.dll",
                                                            "../abcd.dll",
                                                            "sub\\core.dll",
                                                            "C:\\core.dll",
                                                            "C:core.dll",
                                                            "\\\\server\\share\\core.dll",
                                                            "core.dll:stream",
                                                            "CON.dll",
                                                            "con",
                                                            "NUL.txt",
                                                            "Com1.dll",
                                                            "LPT9",
                                                            "con .dll",
                                                            "AUX",
                                                            "PRN.dll",
                                                            ".",
                                                            "..",
                                                            "",
                                                            "a\x01.dll",
                                                            std::string(256, 'n')}) {
        EXPECT_FALSE(hostsim::isPlainFileName(name)) << name;
    }
}

} // namespace
