// The launch record's Win32 calls, each refused through the table the record calls them through,
// with every error that call can give: what users install meets these, and Linux never shows them.
#include "support/RecordFolder.h"
#include "support/Win32Table.h"

#include <launchrecord/RecordFile.h>

#include <gtest/gtest.h>

using testing_support::readBytes;
using testing_support::RecordFolder;
using testing_support::Win32Answers;
using testing_support::Win32Call;
using testing_support::Win32Table;
using testing_support::writeBytes;
namespace fs = std::filesystem;

namespace {

const std::string& date = testing_support::dateLine;

std::uint64_t paused(const Win32Table& table)
{
    std::uint64_t sum = 0;
    for (const Win32Call& call : table.calls()) {
        sum += call.name == "Sleep" ? call.value : 0;
    }
    return sum;
}

// Every entry of the table refused with each error, at its first call only and at every call, on
// an existing record that grows and where there is none: the start returns a count by the rules,
// the record is advanced or byte for byte as it was (a new one missing, empty or whole), and the
// next start counts on from it. What a scanner or another start causes for a moment is waited out.
TEST(LaunchRecordWin32, EveryCallRefusedWithEachErrorLeavesTheRecordAdvancedOrWhole)
{
    const std::vector<DWORD> errors{ERROR_ACCESS_DENIED,   ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION,
                                    ERROR_DISK_FULL,       ERROR_HANDLE_DISK_FULL,  ERROR_NOT_SUPPORTED,
                                    ERROR_NETNAME_DELETED, ERROR_IO_DEVICE};
    const std::string before = date + "99\r\nnotes\r\n";
    const std::string after = date + "100\r\nnotes\r\n";
    for (const std::string& entry : Win32Table::entries()) {
        for (const DWORD error : errors) {
            for (const bool everyCall : {false, true}) {
                for (const bool existing : {true, false}) {
                    const std::string name = entry + " error " + std::to_string(error) +
                                             (everyCall ? " every call" : " first call") +
                                             (existing ? " existing" : " new");
                    const RecordFolder folder;
                    if (existing) {
                        writeBytes(folder.record, before);
                    }
                    std::int32_t count = 0;
                    std::uint64_t pauses = 0;
                    std::int64_t unclosed = 0;
                    {
                        bool refused = false;
                        const Win32Table table([&](const Win32Call& call) {
                            if (call.name == "Sleep") {
                                return DWORD{ERROR_IO_DEVICE}; // pauses counted, not waited
                            }
                            const bool refuse = call.name == entry && (everyCall || !refused);
                            refused = refused || refuse;
                            return refuse ? error : DWORD{0};
                        });
                        count = folder.start();
                        pauses = paused(table);
                        unclosed = table.unclosedHandles();
                    }
                    EXPECT_EQ(unclosed, 0) << name << ": every handle opened is closed";
                    const std::string left = readBytes(folder.record);
                    EXPECT_LE(pauses, trelvik::patienceMilliseconds) << name;
                    if (existing) {
                        EXPECT_TRUE(left == before || left == after) << name << ": " << left;
                        EXPECT_TRUE(count == 99 || (count == -1 && left == before)) << name << ": " << count;
                        EXPECT_EQ(folder.start(), left == after ? 100 : 99) << name;
                    } else {
                        EXPECT_TRUE(left.empty() || left == date + "1") << name << ": " << left;
                        EXPECT_TRUE(count == 1 || count == -1) << name;
                        EXPECT_EQ(folder.start(), 1) << name;
                        EXPECT_EQ(readBytes(folder.record), left.empty() ? date + "1" : date + "2\r\n") << name;
                    }
                    // A moment's hold on the record is waited for, and then the start counts on; a
                    // full disk changes nothing; where nothing can be reserved, the room decides.
                    const bool transient = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
                    const bool full = error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
                    if (!everyCall && transient && (entry == "CreateFileW" || entry == "LockFileEx")) {
                        EXPECT_EQ(left, existing ? after : date + "1") << name;
                    }
                    if (existing && entry == "SetFileInformationByHandle") {
                        EXPECT_EQ(left, full ? before : error == ERROR_NOT_SUPPORTED ? after : left) << name;
                    }
                    if (existing && (entry == "WriteFile" || entry == "ReadFile")) {
                        EXPECT_EQ(left, before) << name;
                    }
                    EXPECT_TRUE(folder.alone()) << name;
                }
            }
        }
    }
}

// What an update asks of Windows, in the order that keeps the record whole: room for the whole
// new text before the first write, no write before the date's end, the file flushed after the
// last write, every handle closed.
TEST(LaunchRecordWin32, UpdateReservesWritesFromTheChangeFlushesAndCloses)
{
    const RecordFolder folder;
    writeBytes(folder.record, date + "9\r\nnotes\r\n");
    std::vector<std::string> order;
    std::size_t opened = 0;
    std::size_t closed = 0;
    {
        const Win32Table table([&](const Win32Call& call) {
            if (call.name == "WriteFile") {
                EXPECT_GE(call.value, 10U) << "the date rewritten";
            }
            const bool reserve = call.name == "SetFileInformationByHandle" && call.value == FileAllocationInfo;
            if (reserve || call.name == "WriteFile" || call.name == "FlushFileBuffers" || call.name == "LockFileEx") {
                order.push_back(reserve ? "reserve" : call.name);
            }
            opened += call.name == "CreateFileW" ? 1 : 0;
            closed += call.name == "CloseHandle" ? 1 : 0;
            return DWORD{0};
        });
        EXPECT_EQ(folder.start(), 9);
    }
    EXPECT_EQ(readBytes(folder.record), date + "10\r\nnotes\r\n");
    EXPECT_EQ(order, (std::vector<std::string>{"LockFileEx", "reserve", "WriteFile", "FlushFileBuffers"}));
    EXPECT_EQ(opened, closed);
}

// Where the file system cannot reserve space (Wine answers FileAllocationInfo with an error), a
// record grows only when the file system reports room for the growth.
TEST(LaunchRecordWin32, WithoutAReservationTheReportedRoomDecides)
{
    for (const DWORD freeSpace : {DWORD{0}, DWORD{ERROR_IO_DEVICE}}) {
        const RecordFolder folder;
        writeBytes(folder.record, date + "9\r\n");
        std::vector<Win32Call> calls;
        {
            const Win32Table table([&](const Win32Call& call) {
                const bool reserve = call.name == "SetFileInformationByHandle" && call.value == FileAllocationInfo;
                return reserve ? DWORD{ERROR_NOT_SUPPORTED} : call.name == "GetDiskFreeSpaceExW" ? freeSpace : DWORD{0};
            });
            EXPECT_EQ(folder.start(), 9);
            calls = table.calls();
        }
        const bool room = freeSpace == 0;
        EXPECT_EQ(readBytes(folder.record), date + (room ? "10\r\n" : "9\r\n"));
        const auto asked = std::find_if(calls.begin(), calls.end(),
                                        [](const Win32Call& call) { return call.name == "GetDiskFreeSpaceExW"; });
        ASSERT_NE(asked, calls.end());
        EXPECT_EQ(fs::path(asked->path), folder.scratch.path() / "") << "the record's own folder";
    }
    // What Wine itself does: the record still grows.
    const RecordFolder folder;
    writeBytes(folder.record, date + "9\r\n");
    EXPECT_EQ(folder.start(), 9);
    EXPECT_EQ(readBytes(folder.record), date + "10\r\n");
}

// The calls as odd disks and file systems answer them: a reservation refused as a function the
// file system lacks, free space that is not the disk's size, a file system that reports no size,
// a write-protected medium, a byte at a time, a record that grew since it was opened.
TEST(LaunchRecordWin32, TheCallsAsOddDisksAndFileSystemsAnswerThem)
{
    struct Case {
        const char* name;
        std::string refused; // refused at its first call
        DWORD error;
        Win32Answers answers;
        std::int32_t count;
        bool advances;
    };
    const std::uint64_t disk = std::uint64_t{1} << 40U;
    const std::string reserve = "reserve";
    for (const Case& c : {
             Case{"no reservation (invalid function)",
                  reserve,
                  ERROR_INVALID_FUNCTION,
                  {{}, disk / 2, disk, {}},
                  99,
                  true},
             Case{"no reservation (not implemented)",
                  reserve,
                  ERROR_CALL_NOT_IMPLEMENTED,
                  {{}, disk / 2, disk, {}},
                  99,
                  true},
             Case{"no reservation, a large disk without room",
                  reserve,
                  ERROR_NOT_SUPPORTED,
                  {{}, 0, disk, {}},
                  99,
                  false},
             Case{"no reservation, no size reported", reserve, ERROR_NOT_SUPPORTED, {{}, 0, 0, {}}, 99, true},
             Case{"reserved, a large disk without room", {}, 0, {{}, 0, disk, {}}, 99, false},
             Case{"write protected", "CreateFileW", ERROR_WRITE_PROTECT, {}, 99, false},
             Case{"a byte at a time", {}, 0, {1, {}, {}, {}}, 99, true},
             Case{"grew since it was opened", {}, 0, {{}, {}, {}, 4}, 99, true},
         }) {
        const RecordFolder folder;
        const std::string before = date + "99\r\n" + std::string(5000, 'n') + "\r\n";
        writeBytes(folder.record, before);
        std::int32_t count = 0;
        {
            bool refused = false;
            const Win32Table table(
                [&](const Win32Call& call) {
                    const bool reservation =
                        call.name == "SetFileInformationByHandle" && call.value == FileAllocationInfo;
                    const bool refuse = !refused && (call.name == c.refused || (reservation && c.refused == reserve));
                    refused = refused || refuse;
                    return refuse ? c.error : DWORD{0};
                },
                c.answers);
            count = folder.start();
            EXPECT_EQ(table.unclosedHandles(), 0) << c.name;
        }
        EXPECT_EQ(count, c.count) << c.name;
        EXPECT_EQ(readBytes(folder.record), c.advances ? date + "100\r\n" + before.substr(16) : before) << c.name;
    }
}

} // namespace
