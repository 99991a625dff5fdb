// The launch record as the file primitives see it, on every platform: what is reserved, written,
// cut and synced, and when; what every refusal leaves; the lock and the start's patience.
// Properties of the calls, not their exact order.
#include "support/RecordFolder.h"
#include "support/SeamFiles.h"

#include <launchrecord/RecordFile.h>
#include <launchrecord/RecordFormat.h>

#include <gtest/gtest.h>

using testing_support::ordered;
using testing_support::readBytes;
using testing_support::RecordFolder;
using testing_support::SeamFiles;
using testing_support::writeBytes;
using Outcome = trelvik::platform::Outcome;
namespace fs = std::filesystem;

namespace {

const std::string& date = testing_support::dateLine;
const std::string created = date + "1";

// Every start rewrites the record where it is, under the exclusive lock: room for the whole new
// text reserved before anything is written, only the bytes from the first change on written (never
// the date), the file cut after the last write and only when shorter, then synced; a new record's
// folder synced after that, and only then.
TEST(LaunchRecordDurability, EveryStartRewritesInPlaceFromTheFirstChangeAndSyncsLast)
{
    struct Case {
        const char* name;
        std::optional<std::string> before;
        std::string after;
        bool grows;
        bool cuts;
    };
    for (const Case& c : {Case{"creation", std::nullopt, created, true, false},
                          Case{"empty", "", created, true, false}, // a creation cut short
                          Case{"grows", date + "9\r\nx\r\n", date + "10\r\nx\r\n", true, false},
                          Case{"same", date + "41\r\n", date + "42\r\n", false, false},
                          Case{"shrinks", date + " 12abc\r\nx\r\n", date + "13\r\nx\r\n", false, true},
                          Case{"bareLf", "07.12.2026\n5\n", date + "6\r\n", true, false}}) {
        const RecordFolder folder;
        if (c.before) {
            writeBytes(folder.record, *c.before);
        }
        SeamFiles files;
        files.partialWrites = true;
        EXPECT_EQ(folder.start(files),
                  c.before && !c.before->empty() ? trelvik::advanceRecordText(*c.before).launchCount : 1)
            << c.name;
        EXPECT_EQ(readBytes(folder.record), c.after) << c.name;
        EXPECT_TRUE(folder.alone()) << c.name;
        const std::size_t unchanged = c.before && !c.before->empty() ? 10 : 0; // the date's ten characters
        for (const SeamFiles::Call& write : files.of("write")) {
            EXPECT_GE(write.value, unchanged) << c.name << ": the date rewritten";
        }
        ASSERT_EQ(files.of("reserve").size(), c.grows ? 1U : 0U) << c.name;
        if (c.grows) {
            EXPECT_EQ(files.of("reserve").front().value, c.after.size()) << c.name << ": room for the whole text";
            EXPECT_TRUE(ordered(files.first("reserve"), files.first("write"))) << c.name;
        }
        EXPECT_EQ(files.of("truncate").size(), c.cuts ? 1U : 0U) << c.name;
        EXPECT_EQ(ordered(files.last("write"), files.first("truncate")), c.cuts) << c.name;
        EXPECT_TRUE(ordered(files.first("lockExclusive"), files.first("read"))) << c.name;
        EXPECT_TRUE(ordered(files.last("write"), files.last("sync"))) << c.name;
        EXPECT_TRUE(ordered(files.last("truncate").value_or(0), files.last("sync"))) << c.name;
        const bool newEntry = !c.before.has_value();
        EXPECT_EQ(files.of("syncFolder").size(), newEntry ? 1U : 0U) << c.name;
        EXPECT_EQ(ordered(files.last("sync"), files.first("syncFolder", folder.record.native())), newEntry) << c.name;
    }
}

// Whatever primitive is refused, and however, the start returns a count by the rules and leaves
// the record advanced or byte for byte as it was, and the next start counts on from it. A refusal
// that passes (a moment's hold, a name pending delete) is waited out.
TEST(LaunchRecordRefusal, RecordIsAdvancedOrLeftWholeAndTheNextStartCountsOn)
{
    struct Case {
        std::string op;
        Outcome outcome;
        int times; // how many of its calls are refused, from the first on; 0: every one
        std::int32_t count;
        bool advances;
        int from = 1; // the first of its calls refused
    };
    const std::vector<Case> cases{
        {"open", Outcome::Failed, 0, -1, false},
        {"open", Outcome::Busy, 0, -1, false},
        {"open", Outcome::Denied, 0, -1, false},
        {"open", Outcome::Busy, 3, 99, true},
        {"open", Outcome::Denied, 4, 99, true},  // a name pending delete, in both modes
        {"open", Outcome::Denied, 1, 99, false}, // a record that may only be read
        {"read", Outcome::Failed, 0, -1, false},
        {"lockExclusive", Outcome::Busy, 0, 99, false},
        {"lockExclusive", Outcome::Busy, 5, 99, true},
        {"lockExclusive", Outcome::Failed, 0, 99, false},
        {"lockExclusive", Outcome::Unsupported, 0, 99, true}, // no other start can lock it either
        {"write", Outcome::Failed, 0, 99, false},
        {"write", Outcome::NoRoom, 1, 99, false, 2}, // after a first part: the old bytes put back
        {"reserve", Outcome::NoRoom, 0, 99, false},
        {"reserve", Outcome::Failed, 0, 99, false},
        {"reserve", Outcome::Unsupported, 0, 99, true}, // then only with room for what it writes
        {"room", Outcome::Failed, 0, 99, true},         // the reservation decides
        {"sync", Outcome::Failed, 0, 99, true},
    };
    const std::string before = date + "99\r\n" + std::string(4080, 'n') + "\r\n"; // 4,098 bytes, to grow
    const bool reserves = testing_support::systemReservesSpace();
    const std::string after = date + "100\r\n" + before.substr(16);
    for (const Case& c : cases) {
        const std::string name = c.op + " outcome " + std::to_string(static_cast<int>(c.outcome)) + " from " +
                                 std::to_string(c.from) + " times " + std::to_string(c.times);
        for (const bool room : {true, false}) {
            const RecordFolder folder;
            writeBytes(folder.record, before);
            SeamFiles files([&](const SeamFiles::Call& call) {
                if (call.op == "sleep") {
                    return Outcome::Failed; // a refused pause is counted, not waited
                }
                const auto nth = static_cast<int>(files.of(call.op).size());
                const bool refused = call.op == c.op && nth >= c.from && (c.times == 0 || nth < c.from + c.times);
                return refused ? c.outcome : Outcome::Done;
            });
            files.partialWrites = true;
            if (!room) {
                files.roomAnswer = trelvik::platform::Room{0, std::uint64_t{1} << 40U}; // a full disk
            }
            EXPECT_EQ(folder.start(files), c.count) << name << " room " << room;
            // A full disk changes nothing, reserved or not; where it cannot be asked, the reservation
            // decides (there is none under Wine).
            const bool advances = c.advances && (room || c.op == "room") && (c.op != "room" || reserves);
            EXPECT_TRUE(readBytes(folder.record) == (advances ? after : before)) << name << " room " << room;
            EXPECT_LE(files.paused(), trelvik::patienceMilliseconds) << name;
            EXPECT_EQ(folder.start(), advances ? 100 : 99) << name << " room " << room;
            EXPECT_TRUE(folder.alone()) << name;
        }
    }
}

// A record that cannot be made counts 1 and leaves nothing; one whose first write fails is left
// empty, a creation cut short, which the next start dates.
TEST(LaunchRecordRefusal, FirstRecordIsDatedOrNotThereAndTheNextStartDatesIt)
{
    for (const std::string op : {"open", "write", "reserve", "sync", "syncFolder"}) {
        const RecordFolder folder;
        SeamFiles files([&](const SeamFiles::Call& call) {
            return call.op == op && (op != "open" || call.value == 2) ? Outcome::Denied : Outcome::Done;
        });
        EXPECT_EQ(folder.start(files), 1) << op;
        const std::string left = readBytes(folder.record);
        EXPECT_TRUE(left == (op == "sync" || op == "syncFolder" ? created : "")) << op << ": " << left;
        EXPECT_EQ(fs::exists(folder.record), op != "open") << op;
        EXPECT_EQ(folder.start(), 1) << op;
        EXPECT_EQ(readBytes(folder.record), left == created ? date + "2\r\n" : created) << op;
    }
}

// A first start that lands late: the record another start made meanwhile is advanced, never
// replaced.
TEST(LaunchRecordRefusal, FirstRecordNeverReplacesOneMadeMeanwhile)
{
    const RecordFolder folder;
    SeamFiles files([&](const SeamFiles::Call& call) {
        if (call.op == "open" && call.value == static_cast<int>(trelvik::platform::Access::Create)) {
            writeBytes(folder.record, date + "5\r\n"); // the other start, five starts on
        }
        return Outcome::Done;
    });
    EXPECT_EQ(folder.start(files), 5);
    EXPECT_EQ(readBytes(folder.record), date + "6\r\n");
}

// A start that cannot have the lock within its patience pauses briefly, doubling, and counts from
// what it reads under a shared lock without writing; a record that can only be read is read under
// a shared lock and left alone.
TEST(LaunchRecordLock, StartsQueueOnTheLockWithinTheirPatience)
{
    struct Case {
        std::vector<std::string> held;
        bool readOnly;
        std::int32_t count;
    };
    for (const Case& c : {Case{{"lockExclusive"}, false, 8}, Case{{"lockExclusive", "lockShared"}, false, -1},
                          Case{{"lockShared"}, true, -1}, Case{{}, true, 8}}) {
        const RecordFolder folder;
        const std::string before = date + "8\r\nnotes\r\n";
        writeBytes(folder.record, before);
        if (c.readOnly) {
            fs::permissions(folder.record, fs::perms::owner_read);
        }
        SeamFiles files([&](const SeamFiles::Call& call) {
            return call.op == "sleep" ? Outcome::Failed // counted, not waited
                   : std::find(c.held.begin(), c.held.end(), call.op) != c.held.end() ? Outcome::Busy
                                                                                      : Outcome::Done;
        });
        EXPECT_EQ(folder.start(files), c.count);
        EXPECT_EQ(readBytes(folder.record), before);
        EXPECT_TRUE(files.of("write").empty() && files.of("truncate").empty());
        EXPECT_EQ(files.of("read").empty(), c.count == -1);
        std::vector<std::uint64_t> pauses;
        for (const SeamFiles::Call& call : files.of("sleep")) {
            pauses.push_back(call.value);
        }
        const std::vector<std::uint64_t> patience{1, 2, 4, 8, 16, 32, 64, 64, 64, 64, 64, 64};
        EXPECT_EQ(pauses, c.held.empty() ? std::vector<std::uint64_t>{} : patience);
        EXPECT_LE(files.paused(), trelvik::patienceMilliseconds);
        fs::permissions(folder.record, fs::perms::owner_all);
    }
}

// Real locks held by another handle, as an overlapping start holds them.
TEST(LaunchRecordLock, RecordHeldByAnotherStartIsNeverWrittenUnderIt)
{
    const RecordFolder folder;
    const std::string before = date + "3\r\nnotes\r\n";
    writeBytes(folder.record, before);
    const auto hold = [&](trelvik::platform::Lock lock) {
        auto held =
            trelvik::platform::FileSystem::system().open(folder.record.native(), trelvik::platform::Access::Read);
        EXPECT_TRUE(held.file != nullptr && held.file->tryLock(lock) == Outcome::Done);
        return std::move(held.file);
    };
    SeamFiles impatient(testing_support::refuse({"sleep"})); // pauses without waiting
    {
        const auto held = hold(trelvik::platform::Lock::Exclusive); // another start rewriting
        EXPECT_EQ(folder.start(impatient), -1);
    }
    {
        const auto held = hold(trelvik::platform::Lock::Shared); // another start reading
        EXPECT_EQ(folder.start(impatient), 3);
    }
    EXPECT_TRUE(impatient.of("write").empty());
    EXPECT_EQ(readBytes(folder.record), before);
    EXPECT_EQ(folder.start(), 3);
    EXPECT_EQ(readBytes(folder.record), date + "4\r\nnotes\r\n");
}

} // namespace
