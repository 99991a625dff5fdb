// The launch record as separate processes meet it, on every platform: starts at the same moment,
// and a writer that dies at any step of an update or creation.
#include "support/RecordFolder.h"
#include "support/RunProcess.h"
#include "support/SeamFiles.h"

#include <LaunchRecord.h>

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>

using testing_support::readBytes;
using testing_support::writeBytes;
namespace fs = std::filesystem;

namespace {

const std::string& date = testing_support::dateLine;
using Folder = testing_support::RecordFolder;

testing_support::ProcessResult startIn(const Folder& folder, int starts, std::size_t dieAt = 0)
{
    const std::u8string library = folder.library.u8string();
    std::vector<std::string> arguments{std::string(library.begin(), library.end()), std::to_string(starts)};
    if (dieAt > 0) {
        arguments.push_back(std::to_string(dieAt));
    }
    return testing_support::runProcess(testing_support::recordWriterProgram(), arguments);
}

// processes record writers at once, each doing starts starts; their exit codes.
std::vector<int> startAtOnce(const Folder& folder, std::size_t processes, int starts)
{
    std::vector<int> exitCodes(processes, -1);
    std::vector<std::thread> writers;
    writers.reserve(processes);
    for (int& exitCode : exitCodes) {
        writers.emplace_back([&folder, &exitCode, starts] { exitCode = startIn(folder, starts).exitCode; });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    return exitCodes;
}

// Eight processes starting twice each, all at once, five times over: replaced in one step, or
// rewritten in place (a second name of it stands beside it), the record keeps its date and the
// lines after the counter, and nothing else is left (an increment may be lost to an overlap).
TEST(LaunchRecordProcesses, OverlappingStartsNeverTearTheRecord)
{
    const std::regex whole("^07\\.12\\.2026\r\n(\\d+)\r\nline 3\r\nline 4\r\n$");
    for (int trial = 0; trial < 10; ++trial) {
        const bool inPlace = trial % 2 == 1;
        const Folder folder;
        writeBytes(folder.record, date + "5\r\nline 3\r\nline 4\r\n");
        if (inPlace) {
            fs::create_hard_link(folder.record, folder.scratch.path() / "second name.txt");
        }
        EXPECT_EQ(startAtOnce(folder, 8, 2), std::vector<int>(8, 0)) << "trial " << trial;
        const std::string record = readBytes(folder.record);
        std::smatch counter;
        ASSERT_TRUE(std::regex_match(record, counter, whole))
            << "trial " << trial << ": " << testing::PrintToString(record);
        EXPECT_GE(std::stoi(counter[1].str()), 6) << "trial " << trial;
        if (inPlace) {
            EXPECT_EQ(readBytes(folder.scratch.path() / "second name.txt"), record) << "trial " << trial;
        }
        EXPECT_EQ(folder.names().size(), inPlace ? 2U : 1U) << "trial " << trial;
    }
}

// A start killed after making its temporary file leaves it behind; the next starts leave it while
// a live start could still own it, and remove it once it is older than that.
TEST(LaunchRecordProcesses, TemporaryFileOfAKilledStartIsRemovedOnceItIsOld)
{
    const Folder folder;
    writeBytes(folder.record, date + "5\r\n");
    EXPECT_EQ(startIn(folder, 1, 3).exitCode, 0); // open, create the temporary file, die
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(folder.scratch.path())) {
        if (entry.path() != folder.record) {
            left.push_back(entry.path());
        }
    }
    ASSERT_EQ(left.size(), 1U) << "the killed start left no temporary file";
    EXPECT_EQ(startIn(folder, 1).exitCode, 0);
    EXPECT_TRUE(fs::exists(left.front())) << "removed although a live start could still own it";
    fs::last_write_time(left.front(), fs::file_time_type::clock::now() - std::chrono::minutes(10));
    EXPECT_EQ(startIn(folder, 1).exitCode, 0);
    EXPECT_FALSE(fs::exists(left.front()));
    EXPECT_EQ(folder.names().size(), 1U);
    EXPECT_EQ(readBytes(folder.record), date + "7\r\n");
}

// A process that dies at any step of an update leaves the record as it was or as it was to be;
// rewritten in place (a second name beside it), a torn counter at worst, never without its date.
// The next start counts on from whatever was left.
TEST(LaunchRecordProcesses, DyingAtAnyStepLeavesTheOldOrTheNewRecord)
{
    for (const char* kind : {"update", "creation", "inPlace"}) {
        const std::string before = kind[0] == 'c' ? "" : date + "9\r\nnotes\r\n";
        const std::string after = kind[0] == 'c' ? date + "1" : date + "10\r\nnotes\r\n";
        const auto prepare = [&](const Folder& folder) -> const Folder& {
            if (!before.empty()) {
                writeBytes(folder.record, before);
            }
            if (kind[0] == 'i') {
                fs::create_hard_link(folder.record, folder.scratch.path() / "second name.txt");
            }
            return folder;
        };
        testing_support::SeamFiles dry;
        prepare(Folder{}).start(dry);
        const std::size_t steps = dry.calls.size();
        ASSERT_GE(steps, 5U);
        for (std::size_t dieAt = 1; dieAt <= steps + 1; ++dieAt) {
            const Folder folder;
            prepare(folder);
            EXPECT_EQ(startIn(folder, 1, dieAt).exitCode, 0);
            const std::string left = readBytes(folder.record);
            if (kind[0] == 'i') {
                EXPECT_EQ(left.substr(0, date.size()), date) << kind << " died before step " << dieAt;
            } else {
                EXPECT_TRUE(left == before || left == after)
                    << kind << " died before step " << dieAt << ": " << testing::PrintToString(left);
            }
            if (dieAt > steps) {
                EXPECT_EQ(left, after) << kind << ": the whole start ran";
            }
            const std::string next = fs::exists(folder.record) ? trelvik::advanceRecordText(left).text : date + "1";
            EXPECT_EQ(startIn(folder, 1).exitCode, 0);
            EXPECT_EQ(readBytes(folder.record), next) << kind << " died before step " << dieAt;
        }
    }
}

} // namespace
