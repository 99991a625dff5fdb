// The launch record between starts that overlap: locks, the folder flushed after a rename, the
// temporary files of starts that died, and chains of links (on every platform).
#include "support/SeamFiles.h"
#include "support/TestPaths.h"

#include <LaunchRecord.h>
#include <platform/LinkChain.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>

using testing_support::readBytes;
using testing_support::ScratchFolder;
using testing_support::SeamFiles;
using testing_support::writeBytes;
using trelvik::platform::Lock;
namespace fs = std::filesystem;

namespace {

const trelvik::platform::LocalDate today{7, 12, 2026};
const std::string date = "07.12.2026\r\n";

struct Folder {
    ScratchFolder scratch{"lock"};
    fs::path library = scratch.path() / "TrelvikDizivoro360.dll";
    fs::path record = scratch.path() / "TrelvikDizivoro360_Info.txt";

    std::int32_t start(trelvik::platform::FileSystem& files = trelvik::platform::FileSystem::system()) const
    {
        return trelvik::advanceLaunchRecord(library.native(), today, files);
    }
    [[nodiscard]] std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(scratch.path())) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }
};

std::size_t stepCount(const SeamFiles& files, const std::string& step)
{
    return static_cast<std::size_t>(std::count(files.steps.begin(), files.steps.end(), step));
}

// Another start's hold on the record: its own handle with the lock taken.
std::unique_ptr<trelvik::platform::OpenFile> holdLock(const fs::path& record, Lock lock)
{
    auto file = trelvik::platform::FileSystem::system().open(record.native(), false);
    if (file == nullptr || !file->tryLock(lock)) {
        ADD_FAILURE() << "could not take the lock";
        return nullptr;
    }
    return file;
}

// The in-place path holds one exclusive lock from its read to the end of its rewrite.
TEST(LaunchRecordLock, InPlaceRewriteReadsAndWritesUnderOneExclusiveLock)
{
    const Folder folder;
    writeBytes(folder.record, date + "4\r\nnotes\r\n");
    SeamFiles files(testing_support::refuse("create"));
    EXPECT_EQ(folder.start(files), 4);
    EXPECT_EQ(files.steps, (std::vector<std::string>{"create", "open", "lockExclusive", "read", "rewrite"}));
    EXPECT_EQ(readBytes(folder.record), date + "5\r\nnotes\r\n");
}

// A start that cannot have the exclusive lock in its short wait counts from what it reads under
// a shared lock and leaves the record whole; one that cannot even read under a lock counts -1.
TEST(LaunchRecordLock, StartThatCannotHaveTheLockWaitsBrieflyAndWritesNothing)
{
    struct Case {
        const char* name;
        std::vector<std::string> refused;
        std::int32_t count;
    };
    for (const Case& c : {Case{"exclusiveRefused", {"create", "lockExclusive"}, 8},
                          Case{"noLockInPlace", {"create", "lockExclusive", "lockShared"}, -1},
                          Case{"noLockAtomic", {"lockShared"}, -1}}) {
        const Folder folder;
        const std::string before = date + "8\r\nnotes\r\n";
        writeBytes(folder.record, before);
        SeamFiles files([&](const std::string& step) {
            return std::find(c.refused.begin(), c.refused.end(), step) == c.refused.end();
        });
        EXPECT_EQ(folder.start(files), c.count) << c.name;
        EXPECT_EQ(readBytes(folder.record), before) << c.name;
        EXPECT_EQ(folder.names(), std::vector<std::string>{"TrelvikDizivoro360_Info.txt"}) << c.name;
        EXPECT_EQ(stepCount(files, "read"), c.count == -1 ? 0U : 1U) << c.name;
        EXPECT_EQ(stepCount(files, "rewrite") + stepCount(files, "replace"), 0U) << c.name;
        // Bounded: a few attempts, well under a tenth of a second of waiting in all.
        EXPECT_EQ(stepCount(files, "pause"), trelvik::platform::lockPauses) << c.name;
        EXPECT_LE(files.pausedMilliseconds, 50U) << c.name;
        EXPECT_GT(files.pausedMilliseconds, 0U) << c.name;
    }
}

// Real locks held by another handle, as an overlapping start holds them.
TEST(LaunchRecordLock, RecordHeldByAnotherStartIsNeverWrittenUnderIt)
{
    const Folder folder;
    const std::string before = date + "3\r\nnotes\r\n";
    writeBytes(folder.record, before);
    {
        // Another start rewriting in place: nothing may be read meanwhile.
        const auto held = holdLock(folder.record, Lock::Exclusive);
        EXPECT_EQ(folder.start(), -1);
    }
    EXPECT_EQ(readBytes(folder.record), before);
    {
        // Another start reading: an in-place writer counts, but does not write.
        SeamFiles inPlace(testing_support::refuse("create"));
        const auto held = holdLock(folder.record, Lock::Shared);
        EXPECT_EQ(folder.start(inPlace), 3);
        EXPECT_EQ(stepCount(inPlace, "rewrite"), 0U);
    }
    EXPECT_EQ(readBytes(folder.record), before);
    // Released, the record advances again.
    EXPECT_EQ(folder.start(), 3);
    EXPECT_EQ(readBytes(folder.record), date + "4\r\nnotes\r\n");
}

// After a rename and after a creation in place, the folder's new entry is flushed.
TEST(LaunchRecordLock, FolderIsFlushedAfterEveryNewName)
{
    struct Case {
        const char* name;
        bool exists;
        std::vector<std::string> refused;
        const char* lastWrite;
    };
    for (const Case& c : {Case{"creation", false, {}, "replace"}, Case{"update", true, {}, "replace"},
                          Case{"creationInPlace", false, {"create"}, "close"}}) {
        const Folder folder;
        if (c.exists) {
            writeBytes(folder.record, date + "2\r\n");
        }
        SeamFiles files([&](const std::string& step) {
            return std::find(c.refused.begin(), c.refused.end(), step) == c.refused.end();
        });
        folder.start(files);
        ASSERT_GE(files.steps.size(), 2U) << c.name;
        EXPECT_EQ(files.steps.back(), "flushFolder") << c.name;
        EXPECT_EQ(files.steps[files.steps.size() - 2], c.lastWrite) << c.name;
    }
}

// A first start whose temporary file cannot be written leaves no record at all: an empty one
// made in place instead would be undated for good.
TEST(LaunchRecordLock, FirstStartWhoseTemporaryFileFailsLeavesNoRecord)
{
    for (const char* failing : {"write", "flush", "close"}) {
        const Folder folder;
        SeamFiles files(testing_support::refuse(failing));
        EXPECT_EQ(folder.start(files), 1) << failing;
        EXPECT_EQ(stepCount(files, "createNew"), 0U) << failing;
        EXPECT_TRUE(folder.names().empty()) << failing;
    }
}

// A read that fails part way counts as a record that cannot be read: nothing is written.
TEST(LaunchRecordLock, FailedReadLeavesTheRecordAndNoTemporaryFile)
{
    const Folder folder;
    const std::string before = date + "6\r\n";
    writeBytes(folder.record, before);
    SeamFiles files(testing_support::refuse("read"));
    EXPECT_EQ(folder.start(files), -1);
    EXPECT_EQ(readBytes(folder.record), before);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"TrelvikDizivoro360_Info.txt"});
}

void age(const fs::path& file, std::chrono::minutes by)
{
    fs::last_write_time(file, fs::file_time_type::clock::now() - by);
}

// Temporary files of starts that died are removed once no live start can own them; nothing
// else is ever touched.
TEST(LaunchRecordLock, OldTemporaryFilesOfDeadStartsAreRemovedAndNothingElse)
{
    const Folder folder;
    writeBytes(folder.record, date + "2\r\n");
    const std::vector<std::string> kept{".~0123ABCD.tmp",  ".~0123abc.tmp",  ".~0123abcde.tmp", "x.~0123abcd.tmp",
                                        ".~0123abcd.tmp~", ".~0123abcg.tmp", "~0123abcd.tmp"};
    for (const std::string& name : kept) {
        writeBytes(folder.scratch.path() / name, "x");
        age(folder.scratch.path() / name, std::chrono::minutes(60));
    }
    // A folder of the pattern is never removed, old or not (Wine cannot date a folder back).
    fs::create_directory(folder.scratch.path() / ".~0badf00d.tmp");
    std::error_code ignored;
    fs::last_write_time(folder.scratch.path() / ".~0badf00d.tmp",
                        fs::file_time_type::clock::now() - std::chrono::minutes(60), ignored);
    writeBytes(folder.scratch.path() / ".~deadbeef.tmp", "old");
    age(folder.scratch.path() / ".~deadbeef.tmp", std::chrono::minutes(6));
    writeBytes(folder.scratch.path() / ".~0000ffff.tmp", "young");
    age(folder.scratch.path() / ".~0000ffff.tmp", std::chrono::minutes(4));

    EXPECT_EQ(folder.start(), 2);
    std::vector<std::string> expected = kept;
    expected.insert(expected.end(), {".~0badf00d.tmp", ".~0000ffff.tmp", "TrelvikDizivoro360_Info.txt"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.names(), expected);
    EXPECT_EQ(readBytes(folder.record), date + "3\r\n");
}

TEST(LaunchRecordLock, TemporaryNamePatternIsExact)
{
    using trelvik::platform::asciiPath;
    for (const char* name : {".~00000000.tmp", ".~abcdef09.tmp"}) {
        EXPECT_TRUE(trelvik::platform::isTemporaryName(asciiPath(name))) << name;
    }
    for (const char* name : {".~0000000.tmp", ".~000000000.tmp", ".~0000000G.tmp", ".~0000000A.tmp", "..0000000a.tmp",
                             ".~0000000a.tmq", ".~0000000a.tmp.", "", ".~.tmp"}) {
        EXPECT_FALSE(trelvik::platform::isTemporaryName(asciiPath(name))) << name;
    }
}

// The chain of links is followed by hand on every platform (Wine does not model symbolic links,
// so the Windows reader is held to the same rules here through a table of links).
TEST(LaunchRecordLinks, ChainsEndAtTheFileAWriteMustReachEvenWhenItIsMissing)
{
    using trelvik::platform::asciiPath;
    using trelvik::platform::LinkStep;
#if defined(_WIN32)
    const std::string root = "C:\\a\\";
#else
    const std::string root = "/a/";
#endif
    const auto path = [&](const std::string& name) { return asciiPath(root + name); };
    const std::map<trelvik::platform::NativePath, LinkStep> links{
        {path("dangling"), {LinkStep::Kind::Link, path("missing")}},
        {path("relative"), {LinkStep::Kind::Link, asciiPath("dangling")}},
        {path("loop"), {LinkStep::Kind::Link, asciiPath("loop")}},
        {path("broken"), {LinkStep::Kind::Unreadable, {}}},
        {path("empty"), {LinkStep::Kind::Link, {}}},
    };
    const auto readLink = [&](const trelvik::platform::NativePath& at) {
        const auto found = links.find(at);
        return found == links.end() ? LinkStep{} : found->second;
    };
    EXPECT_EQ(trelvik::platform::followLinks(path("file"), readLink), path("file"));
    EXPECT_EQ(trelvik::platform::followLinks(path("dangling"), readLink), path("missing"));
    EXPECT_EQ(trelvik::platform::followLinks(path("relative"), readLink), path("missing"));
    for (const char* none : {"loop", "broken", "empty"}) {
        EXPECT_EQ(trelvik::platform::followLinks(path(none), readLink), std::nullopt) << none;
    }
    // The longest chain the system follows still ends; one link more is a loop.
    // Appended rather than concatenated: GCC 12 at -O3 warns falsely (-Wrestrict) on "l" + text.
    const auto link = [&](int i) {
        std::string name(1, 'l');
        name.append(std::to_string(i));
        return path(name);
    };
    std::map<trelvik::platform::NativePath, LinkStep> chain;
    for (int i = 0; i <= trelvik::platform::maximumLinks; ++i) {
        chain[link(i)] = {LinkStep::Kind::Link, link(i + 1)};
    }
    const auto readChain = [&](const trelvik::platform::NativePath& at) {
        const auto found = chain.find(at);
        return found == chain.end() ? LinkStep{} : found->second;
    };
    EXPECT_EQ(trelvik::platform::followLinks(link(1), readChain), link(trelvik::platform::maximumLinks + 1));
    EXPECT_EQ(trelvik::platform::followLinks(link(0), readChain), std::nullopt);
}

} // namespace
