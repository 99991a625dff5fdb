// The launch record as the file primitives see it, on every platform: what is synced and when,
// which way an update goes when a primitive is refused, the lock, links, and the litter of
// starts that died. Properties of the calls, not their exact order.
#include "support/RecordFolder.h"
#include "support/SeamFiles.h"

#include <LaunchRecord.h>

#include <gtest/gtest.h>

#include <chrono>

using testing_support::ordered;
using testing_support::readBytes;
using testing_support::RecordFolder;
using testing_support::SeamFiles;
using testing_support::writeBytes;
using trelvik::platform::NativePath;
namespace fs = std::filesystem;

namespace {

const std::string& date = testing_support::dateLine;

NativePath folderOf(const fs::path& file) { return trelvik::platform::folderOf(file.native()); }

// Each way a record comes to be written: the new text is on stable storage before it carries the
// record's name, a new name is followed by a sync of the record's own folder, and a first record
// never replaces one made meanwhile.
TEST(LaunchRecordDurability, NewTextIsSyncedBeforeItCarriesTheNameAndTheFolderAfter)
{
    struct Case {
        const char* name;
        std::string before; // "" for no record
        std::vector<std::string> refused;
        bool inPlace;
    };
    for (const Case& c : {Case{"creation", "", {}, false}, Case{"update", date + "2\r\n", {}, false},
                          Case{"creationInPlace", "", {"copyIdentity", "createExclusive@temporary"}, true},
                          Case{"updateInPlace", date + "9\r\nx\r\n", {"copyIdentity"}, true}}) {
        const RecordFolder folder;
        if (!c.before.empty()) {
            writeBytes(folder.record, c.before);
        }
        SeamFiles files([&](const SeamFiles::Call& call) {
            const bool temporary = call.op == "createExclusive" && call.path != folder.record.native();
            return std::find(c.refused.begin(), c.refused.end(), temporary ? call.op + "@temporary" : call.op) ==
                   c.refused.end();
        });
        folder.start(files);
        const NativePath written = c.inPlace ? folder.record.native() : files.of("createExclusive").front().path;
        EXPECT_TRUE(ordered(files.last("write", written), files.last("sync", written))) << c.name;
        if (c.inPlace) {
            EXPECT_TRUE(files.of("rename").empty()) << c.name;
        } else {
            ASSERT_EQ(files.of("rename").size(), 1U) << c.name;
            const SeamFiles::Call rename = files.of("rename").front();
            EXPECT_EQ(rename.to, folder.record.native()) << c.name;
            EXPECT_EQ(rename.value, c.before.empty() ? 0U : 1U) << c.name << ": replacing?";
            EXPECT_TRUE(ordered(files.last("sync", written), files.first("rename"))) << c.name;
            if (!c.before.empty()) {
                EXPECT_TRUE(ordered(files.last("close", folder.record.native()), files.first("rename"))) << c.name;
            }
        }
        const bool newName = c.before.empty() || !c.inPlace;
        const auto named = c.inPlace ? files.last("sync", written) : files.first("rename");
        EXPECT_EQ(ordered(named, files.first("syncFolder", folderOf(folder.record))), newName) << c.name;
        EXPECT_TRUE(folder.alone()) << c.name;
    }
}

// A first start that lands late: the record another start made meanwhile stays as it is.
TEST(LaunchRecordDurability, FirstRecordNeverReplacesOneMadeMeanwhile)
{
    const RecordFolder folder;
    SeamFiles files([&](const SeamFiles::Call& call) {
        if (call.op == "rename") {
            writeBytes(folder.record, date + "5\r\n"); // the other start, five starts on
        }
        return true;
    });
    EXPECT_EQ(folder.start(files), 1);
    EXPECT_EQ(readBytes(folder.record), date + "5\r\n");
    EXPECT_TRUE(folder.alone());
}

// In place, only what changed is written, after room for it was reserved: the date line never.
TEST(LaunchRecordDurability, InPlaceRewriteReservesFirstWritesFromTheChangeAndCutsLast)
{
    struct Case {
        const char* name;
        std::string before;
        std::string after;
        bool reserves; // grows
        bool cuts;     // shrinks
    };
    for (const Case& c : {Case{"grows", date + "9\r\nx\r\n", date + "10\r\nx\r\n", true, false},
                          Case{"same", date + "41\r\n", date + "42\r\n", false, false},
                          Case{"shrinks", date + "abcdef\r\nx\r\n", date + "1\r\nx\r\n", false, true},
                          Case{"bareLf", "07.12.2026\n5\n", date + "6\r\n", true, false}}) {
        const RecordFolder folder;
        writeBytes(folder.record, c.before);
        SeamFiles files(testing_support::refuse({"copyIdentity"}));
        folder.start(files);
        EXPECT_EQ(readBytes(folder.record), c.after) << c.name;
        for (const SeamFiles::Call& write : files.of("write")) {
            EXPECT_GE(write.value, 10U) << c.name << ": the date rewritten";
        }
        EXPECT_EQ(files.of("reserve").size(), c.reserves ? 1U : 0U) << c.name;
        EXPECT_EQ(ordered(files.first("reserve"), files.first("write")), c.reserves) << c.name;
        EXPECT_EQ(files.of("truncate").size(), c.cuts ? 1U : 0U) << c.name;
        EXPECT_EQ(ordered(files.last("write"), files.first("truncate")), c.cuts) << c.name;
        EXPECT_TRUE(ordered(files.last("write"), files.last("sync", folder.record.native()))) << c.name;
    }
}

// Whatever primitive is refused, the record is advanced, or left byte for byte as it was, and no
// temporary file stays behind.
TEST(LaunchRecordRefusal, RecordIsAdvancedOrLeftWholeAndNoTemporaryFileStays)
{
    struct Case {
        std::vector<std::string> refused;
        std::int32_t count;
        bool advances;
    };
    for (const Case& c : {
             Case{{"createExclusive"}, 99, true}, // the folder refuses new entries: in place
             Case{{"copyIdentity"}, 99, true},    // the replacement would not be what the record is
             Case{{"rename"}, 99, false},         // another start holds it open, say
             Case{{"write"}, 99, false},          // the disk refuses the bytes
             Case{{"sync"}, 99, false}, Case{{"close"}, 99, false},
             Case{{"createExclusive", "reserve"}, 99, false}, // in place on a full disk
             Case{{"read"}, -1, false},                       // a read that fails part way
             Case{{"open"}, -1, false},                       // there, but out of reach
         }) {
        const RecordFolder folder;
        const std::string before = date + "99\r\n" + std::string(4080, 'n') + "\r\n"; // 4,098 bytes, to grow
        writeBytes(folder.record, before);
        SeamFiles files(testing_support::refuse(c.refused));
        EXPECT_EQ(folder.start(files), c.count) << c.refused.back();
        EXPECT_EQ(readBytes(folder.record), c.advances ? date + "100\r\n" + before.substr(16) : before)
            << c.refused.back();
        EXPECT_TRUE(folder.alone()) << c.refused.back();
        if (c.advances) {
            EXPECT_TRUE(files.of("rename").empty()) << c.refused.back() << ": replaced, not rewritten in place";
        }
        if (c.count == -1) {
            EXPECT_FALSE(files.first("createExclusive", folder.record.native())) << c.refused.back();
            EXPECT_TRUE(files.of("rename").empty()) << c.refused.back() << ": made anew";
        }
    }
}

// A missing record is only ever created: from a temporary file when the folder allows one, else
// exclusively in place; a write that fails leaves no record, which would be undated for good.
TEST(LaunchRecordRefusal, FirstRecordIsWholeOrNotThere)
{
    for (const std::vector<std::string>& refused :
         {std::vector<std::string>{"write"}, {"sync"}, {"close"}, {"rename"}, {"createExclusive"}}) {
        const RecordFolder folder;
        SeamFiles files(testing_support::refuse(refused));
        EXPECT_EQ(folder.start(files), 1) << refused.front();
        EXPECT_TRUE(folder.names().empty()) << refused.front();
    }
    const RecordFolder folder; // no temporary file allowed: the record itself
    SeamFiles files([&](const SeamFiles::Call& call) {
        return call.op != "createExclusive" || call.path == folder.record.native();
    });
    EXPECT_EQ(folder.start(files), 1);
    EXPECT_EQ(readBytes(folder.record), date + "1");
    EXPECT_EQ(folder.start(), 1);
    EXPECT_EQ(folder.start(), 2);
}

// A start that cannot have the lock in its short wait counts from what it reads under a shared
// lock and leaves the record whole; one that cannot even read under a lock counts -1.
TEST(LaunchRecordLock, StartThatCannotHaveTheLockBacksOffBrieflyAndWritesNothing)
{
    struct Case {
        std::vector<std::string> refused;
        std::int32_t count;
    };
    for (const Case& c : {Case{{"copyIdentity", "lockExclusive"}, 8},
                          Case{{"copyIdentity", "lockExclusive", "lockShared"}, -1}, Case{{"lockShared"}, -1}}) {
        const RecordFolder folder;
        const std::string before = date + "8\r\nnotes\r\n";
        writeBytes(folder.record, before);
        SeamFiles files(testing_support::refuse(c.refused));
        EXPECT_EQ(folder.start(files), c.count) << c.refused.back();
        EXPECT_EQ(readBytes(folder.record), before) << c.refused.back();
        EXPECT_TRUE(folder.alone()) << c.refused.back();
        EXPECT_EQ(files.of("read").size(), c.count == -1 ? 0U : 1U) << c.refused.back();
        std::vector<std::uint64_t> pauses;
        for (const SeamFiles::Call& call : files.of("sleep")) {
            pauses.push_back(call.value);
        }
        EXPECT_EQ(pauses, (std::vector<std::uint64_t>{1, 2, 4, 8, 16})) << c.refused.back();
    }
}

// Real locks held by another handle, as an overlapping start holds them.
TEST(LaunchRecordLock, RecordHeldByAnotherStartIsNeverWrittenUnderIt)
{
    const RecordFolder folder;
    const std::string before = date + "3\r\nnotes\r\n";
    writeBytes(folder.record, before);
    const auto hold = [&](trelvik::platform::Lock lock) {
        auto held = trelvik::platform::FileSystem::system().open(folder.record.native(), false).file;
        EXPECT_TRUE(held != nullptr && held->tryLock(lock));
        return held;
    };
    {
        const auto held = hold(trelvik::platform::Lock::Exclusive); // another start rewriting in place
        EXPECT_EQ(folder.start(), -1);
    }
    {
        const auto held = hold(trelvik::platform::Lock::Shared); // another start reading
        SeamFiles inPlace(testing_support::refuse({"copyIdentity"}));
        EXPECT_EQ(folder.start(inPlace), 3);
        EXPECT_TRUE(inPlace.of("write").empty());
    }
    EXPECT_EQ(readBytes(folder.record), before);
    EXPECT_EQ(folder.start(), 3);
    EXPECT_EQ(readBytes(folder.record), date + "4\r\nnotes\r\n");
}

// Links (the test's own, so the same on every platform): the file at the end of the chain is
// what is created, written, synced and tidied beside; links that loop name no file to create,
// and a link that cannot be read leaves a record out of reach.
TEST(LaunchRecordLinks, ChainEndsAtTheFileAWriteMustReachEvenWhenItIsMissing)
{
    const RecordFolder folder;
    const testing_support::ScratchFolder elsewhere("target");
    const fs::path target = elsewhere.path() / "shared_record.txt";
    const NativePath relative = trelvik::platform::asciiPath("middle");
    const std::string stale = ".~deadbeef.tmp";
    for (const fs::path& place : {folder.scratch.path(), elsewhere.path()}) {
        writeBytes(place / stale, "x");
        fs::last_write_time(place / stale, fs::file_time_type::clock::now() - std::chrono::minutes(10));
    }
    SeamFiles files;
    files.links = {{folder.record.native(), relative}, {folderOf(folder.record) + relative, target.native()}};
    EXPECT_EQ(folder.start(files), 1);
    EXPECT_EQ(folder.start(files), 1);
    EXPECT_EQ(readBytes(target), date + "2\r\n");
    EXPECT_EQ(files.of("rename").back().to, target.native());
    EXPECT_FALSE(fs::exists(folder.record));
    EXPECT_TRUE(files.first("syncFolder", folderOf(target)));
    EXPECT_FALSE(files.first("syncFolder", folderOf(folder.record)));
    EXPECT_FALSE(fs::exists(elsewhere.path() / stale));
    EXPECT_TRUE(fs::exists(folder.scratch.path() / stale)) << "tidied beside the link";

    // The longest chain the system follows still ends; one link more is a loop.
    SeamFiles chain;
    const auto link = [&](int i) {
        std::string name(1, 'l'); // appended: GCC 12 at -O3 warns falsely (-Wrestrict) on "l" + text
        return folderOf(folder.record) + trelvik::platform::asciiPath(name.append(std::to_string(i)));
    };
    for (int i = 1; i <= trelvik::maximumLinks; ++i) {
        chain.links[link(i)] = link(i + 1);
    }
    chain.links[folder.record.native()] = link(2);
    EXPECT_EQ(folder.start(chain), 1);
    EXPECT_TRUE(fs::exists(link(trelvik::maximumLinks + 1)));
    chain.links[folder.record.native()] = link(1);
    for (const SeamFiles::Gate& gate : {SeamFiles::Gate{}, testing_support::refuse({"readLink"})}) {
        SeamFiles cut(gate);
        cut.links = chain.links;
        writeBytes(link(trelvik::maximumLinks + 1), date + "6\r\n");
        EXPECT_EQ(folder.start(cut), gate ? -1 : 1);
        EXPECT_TRUE(cut.of("createExclusive").empty() && cut.of("write").empty());
    }
}

// Temporary files of starts that died are removed once no live start can own them; nothing else
// is touched, and only names of the pattern are looked at any closer.
TEST(LaunchRecordSweep, OldTemporaryFilesOfDeadStartsAreRemovedAndNothingElse)
{
    const RecordFolder folder;
    writeBytes(folder.record, date + "2\r\n");
    const auto age = [&](const std::string& name, std::chrono::minutes by) {
        writeBytes(folder.scratch.path() / name, "x");
        fs::last_write_time(folder.scratch.path() / name, fs::file_time_type::clock::now() - by);
    };
    std::vector<std::string> kept{".~0123ABCD.tmp",  ".~0123abc.tmp",  ".~0123abcde.tmp", "x.~0123abcd.tmp",
                                  ".~0123abcd.tmp~", ".~0123abcg.tmp", "~0123abcd.tmp",   ".~0000ffff.tmp"};
    for (const std::string& name : kept) {
        age(name, name == ".~0000ffff.tmp" ? std::chrono::minutes(4) : std::chrono::minutes(60));
    }
    age(".~deadbeef.tmp", std::chrono::minutes(6));
    fs::create_directory(folder.scratch.path() / ".~0badf00d.tmp"); // a folder of the pattern: never
    SeamFiles files;
    EXPECT_EQ(folder.start(files), 2);
    kept.insert(kept.end(), {".~0badf00d.tmp", "TrelvikDizivoro360_Info.txt"});
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(folder.names(), kept);
    for (const SeamFiles::Call& asked : files.of("ageSeconds")) {
        EXPECT_TRUE(trelvik::isTemporaryName(asked.path.substr(trelvik::platform::nameStart(asked.path))));
    }
    EXPECT_EQ(files.of("ageSeconds").size(), 3U);
}

} // namespace
