#include "support/RecordFolder.h"

#include <launchrecord/RecordFile.h>
#include <launchrecord/RecordFormat.h>

#include <gtest/gtest.h>

#include <ctime>

using testing_support::readBytes;
using testing_support::ScratchFolder;
using testing_support::writeBytes;

namespace {

const trelvik::platform::LocalDate today = testing_support::recordDay;
const std::string& date = testing_support::dateLine;

// --- the counter rules, on the record's bytes ----------------------------------------------

struct UpdateCase {
    const char* name;
    std::string before;
    std::int32_t count;
    std::string after;
};

void PrintTo(const UpdateCase& value, std::ostream* out) { *out << value.name; }

class RecordUpdate : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(RecordUpdate, CountAndBytesAfter)
{
    const trelvik::RecordUpdate update = trelvik::advanceRecordText(GetParam().before);
    EXPECT_EQ(update.launchCount, GetParam().count);
    EXPECT_EQ(update.text, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RecordUpdate,
    ::testing::Values(UpdateCase{"fresh", date + "1", 1, date + "2\r\n"},
                      UpdateCase{"plus", date + "+7\r\n", 7, date + "8\r\n"},
                      UpdateCase{"leadingZeros", date + "007\r\n", 7, date + "8\r\n"},
                      UpdateCase{"blankThenLetters", date + " 12abc\r\n", 12, date + "13\r\n"},
                      UpdateCase{"negative", date + "-5\r\n", -5, date + "-4\r\n"},
                      UpdateCase{"minusOne", date + "-1\r\n", -1, date + "0\r\n"},
                      UpdateCase{"everyWhiteSpace", date + "\v\f\r\t 12\r\n", 12, date + "13\r\n"},
                      UpdateCase{"overflow", date + "2147483648\r\n", 0, date + "1\r\n"},
                      UpdateCase{"underflow", date + "-2147483649\r\n", 0, date + "1\r\n"},
                      UpdateCase{"tenTimesTheMinimum", date + "-21474836480\r\n", 0, date + "1\r\n"},
                      UpdateCase{"tenTimesPastTheMaximum", date + "21474836480\r\n", 0, date + "1\r\n"},
                      UpdateCase{"minimum", date + "-2147483648\r\n", INT32_MIN, date + "-2147483647\r\n"},
                      UpdateCase{"letters", date + "abc\r\n", 0, date + "1\r\n"},
                      UpdateCase{"signOnly", date + "-\r\n", 0, date + "1\r\n"},
                      UpdateCase{"emptyLine2", date + "\r\n", 0, date + "1\r\n"},
                      UpdateCase{"wraps", date + "2147483647\r\n", INT32_MAX, date + "-2147483648\r\n"},
                      UpdateCase{"hugeDigits", date + "99999999999999999999999\r\n", 0, date + "1\r\n"},
                      UpdateCase{"empty", "", 1, "1\r\n"}, UpdateCase{"oneLine", "07.12.2026", 1, date + "1\r\n"},
                      UpdateCase{"oneLineWithEnd", date, 1, date + "1\r\n"},
                      UpdateCase{"bareLf", "07.12.2026\n5\nx\n", 5, date + "6\r\nx\r\n"},
                      UpdateCase{"extraLines", date + "3\r\nkeep me\r\n\r\nlast", 3,
                                 date + "4\r\nkeep me\r\n\r\nlast\r\n"},
                      UpdateCase{"loneCrStays", date + "3\r\na\rb\r\n", 3, date + "4\r\na\rb\r\n"}),
    [](const auto& testInfo) { return testInfo.param.name; });

TEST(RecordCreation, IsThirteenBytesWithoutAFinalLineEnd)
{
    EXPECT_EQ(trelvik::newRecordText(today), "07.12.2026\r\n1");
    EXPECT_EQ(trelvik::newRecordText({1, 2, 2027}), "01.02.2027\r\n1");
    EXPECT_EQ(trelvik::newRecordText({1, 1, 2027}), "01.01.2027\r\n1");
    EXPECT_EQ(trelvik::newRecordText({31, 12, 2026}), "31.12.2026\r\n1");
    EXPECT_EQ(trelvik::newRecordText({9, 10, 999}), "09.10.0999\r\n1");
}

// --- the record's path -------------------------------------------------------------------

std::filesystem::path recordFor(const std::filesystem::path& library)
{
    return trelvik::launchRecordPath(library.native());
}

TEST(RecordPath, ReplacesTheLibraryExtensionOfTheFileNameOnly)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path("base") / "x.dlls" / "a.dll";
    EXPECT_EQ(recordFor(folder / "TrelvikDizivoro360.dll"), folder / "TrelvikDizivoro360_Info.txt");
    EXPECT_EQ(recordFor(folder / "Addin.DLL"), folder / "Addin_Info.txt");
    EXPECT_EQ(recordFor(folder / "Addin.Dll"), folder / "Addin_Info.txt");
    EXPECT_EQ(recordFor(folder / "Addin"), folder / "Addin_Info.txt");
    EXPECT_EQ(recordFor(folder / "Addin.txt"), folder / "Addin.txt_Info.txt");
    EXPECT_EQ(recordFor(folder / "my.dll.copy"), folder / "my.dll.copy_Info.txt");
    EXPECT_EQ(recordFor(folder / ".dll"), folder / ".dll_Info.txt");
    EXPECT_EQ(recordFor("Addin.dll"), "Addin_Info.txt");
#if defined(_WIN32)
    EXPECT_EQ(recordFor("C:/x.dll/Addin.dll"), "C:/x.dll/Addin_Info.txt");
#else
    EXPECT_EQ(recordFor(folder / "TrelvikDizivoro360.so"), folder / "TrelvikDizivoro360_Info.txt");
#endif
}

// --- the routine on real files ------------------------------------------------------------

// The first five starts count 1, 1, 2, 3, 4 beside the library in any folder (names a path
// squeezed through the ANSI code page would lose on Windows, ".dll" in a folder's name), and leave
// nothing but the record.
TEST(LaunchRecord, FirstFiveStartsCount11234BesideTheLibraryInAnyFolder)
{
    const ScratchFolder scratch("record");
    for (const char* name : {"x.dlls", "a.dll", "Výuka ř", "Обучение", "学习", "x.DLL"}) {
        const auto folder = scratch.path() / std::filesystem::u8path(name);
        std::filesystem::create_directories(folder);
        std::vector<std::int32_t> counts;
        std::vector<std::size_t> sizes;
        for (int start = 0; start < 5; ++start) {
            counts.push_back(trelvik::advanceLaunchRecord((folder / "TrelvikDizivoro360.dll").native(), today));
            sizes.push_back(readBytes(folder / "TrelvikDizivoro360_Info.txt").size());
        }
        EXPECT_EQ(counts, (std::vector<std::int32_t>{1, 1, 2, 3, 4})) << name;
        EXPECT_EQ(sizes, (std::vector<std::size_t>{13, 15, 15, 15, 15})) << name;
        EXPECT_EQ(readBytes(folder / "TrelvikDizivoro360_Info.txt"), date + "5\r\n") << name;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << name;
    }
}

TEST(LaunchRecord, FolderAtTheRecordPathGivesMinusOneAndStays)
{
    const testing_support::RecordFolder folder;
    std::filesystem::create_directory(folder.record);
    EXPECT_EQ(folder.start(), -1);
    EXPECT_TRUE(std::filesystem::is_directory(folder.record));
}

TEST(LaunchRecord, UnknownLibraryPathTouchesNothing) { EXPECT_EQ(trelvik::advanceLaunchRecord({}, today), -1); }

TEST(LaunchRecord, RecordWithoutWritePermissionStaysUnchanged)
{
    const testing_support::RecordFolder folder;
    writeBytes(folder.record, date + "7\r\nnotes\r\n");
    std::filesystem::permissions(folder.record, std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::group_read |
                                                    std::filesystem::perms::others_read);
    EXPECT_EQ(folder.start(), 7);
    EXPECT_EQ(folder.start(), 7);
    EXPECT_EQ(readBytes(folder.record), date + "7\r\nnotes\r\n");
    EXPECT_TRUE(folder.alone());
}

// The record's first line is today's local date, as the system gives it.
TEST(LaunchRecord, CreatedRecordCarriesTodaysLocalDate)
{
    const auto localDate = [] {
        const std::time_t now = std::time(nullptr);
        char text[16];
        std::strftime(text, sizeof text, "%d.%m.%Y", std::localtime(&now)); // NOLINT(concurrency-mt-unsafe)
        return std::string(text);
    };
    const testing_support::RecordFolder folder;
    const std::string before = localDate();
    EXPECT_EQ(trelvik::advanceLaunchRecord(folder.library.native(), trelvik::platform::today()), 1);
    const std::string after = localDate();
    const std::string line = readBytes(folder.record).substr(0, 10);
    EXPECT_TRUE(line == before || line == after) << line << " vs " << before;
}

} // namespace

#if defined(_WIN32)
#include <windows.h>

namespace {

// The folder names of the test above lie outside this process's ANSI code page here.
TEST(LaunchRecordWindows, TestFoldersLieOutsideTheAnsiCodePage)
{
    for (const wchar_t* name : {L"Обучение", L"学习"}) {
        BOOL lossy = FALSE;
        char narrow[64];
        WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, sizeof narrow, nullptr, &lossy);
        EXPECT_TRUE(lossy) << "code page " << GetACP() << " represents the name";
    }
}

// The record stays the same file: its attributes stay as they are, and a read-only one is left
// alone.
TEST(LaunchRecordWindows, AttributesStayAndReadOnlyRecordIsLeftAlone)
{
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    for (const DWORD attributes : {kept, DWORD{FILE_ATTRIBUTE_READONLY}}) {
        const testing_support::RecordFolder folder;
        writeBytes(folder.record, date + "7\r\n");
        ASSERT_TRUE(SetFileAttributesW(folder.record.c_str(), attributes));
        EXPECT_EQ(folder.start(), 7);
        const bool readOnly = attributes == FILE_ATTRIBUTE_READONLY;
        EXPECT_EQ(readBytes(folder.record), date + (readOnly ? "7\r\n" : "8\r\n"));
        EXPECT_EQ(GetFileAttributesW(folder.record.c_str()) & attributes, attributes);
        EXPECT_TRUE(folder.alone());
        SetFileAttributesW(folder.record.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

} // namespace
#endif
