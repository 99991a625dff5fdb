// The launch record as separate processes meet it, on every platform: starts at the same moment,
// a start that dies at any system call of an update, and a record another process holds.
#include "support/RecordFolder.h"
#include "support/RunProcess.h"
#include "support/SeamFiles.h"

#include <launchrecord/RecordFile.h>
#include <launchrecord/RecordFormat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#if defined(_WIN32)
#include "support/Win32Table.h"
#endif

using testing_support::readBytes;
using testing_support::writeBytes;
namespace fs = std::filesystem;

namespace {

const std::string& date = testing_support::dateLine;
using Folder = testing_support::RecordFolder;

std::string u8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

testing_support::ProcessResult startIn(const Folder& folder, int starts, std::size_t dieAt = 0)
{
    std::vector<std::string> arguments{u8(folder.library), std::to_string(starts)};
    if (dieAt > 0) {
        arguments.push_back(std::to_string(dieAt));
    }
    return testing_support::runProcess(testing_support::recordWriterProgram(), arguments);
}

// Eight starts in processes of their own, all at once, fifty times over: each start counts a
// number no other counted (no increment lost), the record advanced by exactly eight and whole.
TEST(LaunchRecordProcesses, EightOverlappingStartsEachCountAndNeverTearTheRecord)
{
    for (int trial = 0; trial < 50; ++trial) {
        const Folder folder;
        writeBytes(folder.record, date + "5\r\nline 3\r\nline 4\r\n");
        std::vector<testing_support::ProcessResult> results(8);
        std::vector<std::thread> starts;
        starts.reserve(results.size());
        for (testing_support::ProcessResult& result : results) {
            starts.emplace_back([&folder, &result] { result = startIn(folder, 1); });
        }
        std::vector<int> counts;
        for (std::size_t i = 0; i < starts.size(); ++i) {
            starts[i].join();
            EXPECT_EQ(results[i].exitCode, 0) << "trial " << trial;
            counts.push_back(results[i].out.empty() ? 0 : std::stoi(results[i].out));
        }
        std::sort(counts.begin(), counts.end());
        EXPECT_EQ(counts, (std::vector<int>{5, 6, 7, 8, 9, 10, 11, 12})) << "trial " << trial;
        EXPECT_EQ(readBytes(folder.record), date + "13\r\nline 3\r\nline 4\r\n") << "trial " << trial;
        EXPECT_TRUE(folder.alone()) << "trial " << trial;
    }
}

// How many system calls one start makes (of the Win32 table on Windows, of the file primitives
// elsewhere), as the record writer counts them.
std::size_t callsOfOneStart(const Folder& folder)
{
#if defined(_WIN32)
    const testing_support::Win32Table table;
    folder.start();
    return table.calls().size();
#else
    testing_support::SeamFiles files;
    folder.start(files);
    return files.calls.size();
#endif
}

// A start that dies at any system call of an update or of a creation leaves the record with its
// date, its later lines and the old count or the next; a new record missing, empty or whole. The
// next start counts on from whatever was left.
TEST(LaunchRecordProcesses, StartDyingAtAnyCallLeavesTheOldCountOrTheNext)
{
    for (const bool existing : {true, false}) {
        const std::string before = existing ? date + "9\r\nnotes\r\n" : "";
        const std::string after = existing ? date + "10\r\nnotes\r\n" : date + "1";
        const auto prepare = [&](const Folder& folder) -> const Folder& {
            if (existing) {
                writeBytes(folder.record, before);
            }
            return folder;
        };
        const std::size_t calls = callsOfOneStart(prepare(Folder{}));
        ASSERT_GE(calls, 6U);
        for (std::size_t dieAt = 1; dieAt <= calls + 1; ++dieAt) {
            const Folder folder;
            prepare(folder);
            EXPECT_EQ(startIn(folder, 1, dieAt).exitCode, 0);
            const std::string left = readBytes(folder.record);
            EXPECT_TRUE(left == before || left == after) << (existing ? "update" : "creation") << " died at call "
                                                         << dieAt << ": " << testing::PrintToString(left);
            if (dieAt > calls) {
                EXPECT_EQ(left, after) << "the whole start ran";
            }
            const std::string next = left.empty() ? date + "1" : trelvik::advanceRecordText(left).text;
            EXPECT_EQ(folder.start(), left.empty() ? 1 : trelvik::advanceRecordText(left).launchCount);
            EXPECT_EQ(readBytes(folder.record), next) << "died at call " << dieAt;
        }
    }
}

// Another process holds the record as nothing else may touch it (a scanner or a sync client on
// Windows, an exclusive lock elsewhere): for a moment, and the start waits and counts; for longer
// than its patience, and it gives up, the record as it was.
TEST(LaunchRecordProcesses, RecordHeldByAnotherProcessIsWaitedForWithinPatience)
{
    for (const int milliseconds : {50, 5000}) {
        const Folder folder;
        const std::string before = date + "9\r\nnotes\r\n";
        writeBytes(folder.record, before);
        const fs::path marker = folder.scratch.path() / "held";
        testing_support::ProcessResult holder;
        std::thread holding([&] {
            holder =
                testing_support::runProcess(testing_support::recordWriterProgram(),
                                            {"--hold", u8(folder.record), std::to_string(milliseconds), u8(marker)});
        });
        for (int wait = 0; wait < 60000 && !fs::exists(marker); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(fs::exists(marker)) << "the holder never held the record";
        testing_support::SeamFiles files;
        const std::int32_t count = folder.start(files);
        holding.join();
        EXPECT_EQ(holder.exitCode, 0);
        const bool waited = milliseconds < 100;
        EXPECT_EQ(count, waited ? 9 : -1) << milliseconds << " ms";
        EXPECT_EQ(readBytes(folder.record), waited ? date + "10\r\nnotes\r\n" : before) << milliseconds << " ms";
        EXPECT_LE(files.paused(), trelvik::patienceMilliseconds);
    }
}

} // namespace
