// The launch record whole at any size, on any file system, after any crash, as the file primitives
// see it (on every platform): reads to the true end, a bound on what is a record, room for every
// byte written, a record a lost creation left, a write that cannot be undone, a moment's hold.
#include "support/RecordFolder.h"
#include "support/SeamFiles.h"

#include <launchrecord/RecordFile.h>
#include <launchrecord/RecordFormat.h>
#include <launchrecord/RecordIo.h>

#include <gtest/gtest.h>

using testing_support::readBytes;
using testing_support::RecordFolder;
using testing_support::SeamFiles;
using testing_support::writeBytes;
using Outcome = trelvik::platform::Outcome;
using Room = trelvik::platform::Room;

namespace {

const std::string& date = testing_support::dateLine;

// A read that gives less than asked is not the end: whatever the system gives a read, and however
// the record grew since it was opened, the start reads all of it, counts by it and advances it.
TEST(LaunchRecordWhole, ReadsToTheTrueEnd)
{
    const std::string notes = "notes " + std::string(5000, 'n') + "\r\nlast line\r\n";
    for (const std::size_t limit : {std::size_t{1}, std::size_t{7}, std::size_t{4096}, SIZE_MAX}) {
        for (const bool grows : {false, true}) {
            const RecordFolder folder;
            const std::string full = std::string(date).append("41\r\n").append(notes);
            writeBytes(folder.record, grows ? full.substr(0, date.size() + 4) : full);
            SeamFiles files([&](const SeamFiles::Call& call) {
                if (grows && call.op == "lockExclusive") { // another writer, between the open and the lock
                    writeBytes(folder.record, full);
                }
                return Outcome::Done;
            });
            files.readLimit = limit;
            EXPECT_EQ(folder.start(files), 41) << limit << (grows ? " grown" : "");
            EXPECT_EQ(readBytes(folder.record), std::string(date).append("42\r\n").append(notes))
                << limit << (grows ? " grown" : "");
        }
    }
}

// A record is a few lines: a file past the bound is counted from its first two lines, left as it
// is, and read no further than those lines need (at most the bound).
TEST(LaunchRecordWhole, ALargeFileIsCountedFromItsFirstLinesAndLeftAlone)
{
    struct Case {
        const char* name;
        std::string text;
        std::int32_t count;
        std::uint64_t readUpTo; // no read starts at or past this offset
    };
    const std::string large(trelvik::recordBound, 'x');
    for (const Case& c : {Case{"long tail", std::string(date).append("77\r\n").append(large).append("\r\n"), 77, 4096},
                          Case{"long first line", large + "\r\n77\r\n", 1, trelvik::recordBound + 1},
                          Case{"just past the bound", date + "77\r\n" + large.substr(15), 77, 4096}}) {
        const RecordFolder folder;
        writeBytes(folder.record, c.text);
        SeamFiles files;
        EXPECT_EQ(folder.start(files), c.count) << c.name;
        EXPECT_TRUE(files.of("write").empty() && files.of("truncate").empty()) << c.name;
        for (const SeamFiles::Call& read : files.of("read")) {
            EXPECT_LT(read.value, c.readUpTo) << c.name;
        }
        EXPECT_EQ(readBytes(folder.record), c.text) << c.name;
    }
}

// A record of nothing, or of nothing but NUL bytes (a creation whose bytes the disk lost), is
// given its date as a new one: count 1, then 1, 2.
TEST(LaunchRecordWhole, ARecordOfNothingButNulBytesGetsItsDate)
{
    for (const std::size_t nuls : {0, 1, 13, 40}) {
        const RecordFolder folder;
        writeBytes(folder.record, std::string(nuls, '\0'));
        EXPECT_EQ(folder.start(), 1) << nuls;
        EXPECT_EQ(readBytes(folder.record), date + "1") << nuls;
        EXPECT_EQ(folder.start(), 1) << nuls;
        EXPECT_EQ(folder.start(), 2) << nuls;
    }
    const RecordFolder folder; // a NUL among other bytes is a record's own
    writeBytes(folder.record, std::string(date).append("5\r\n").append(1, '\0').append("\r\n"));
    EXPECT_EQ(folder.start(), 5);
    EXPECT_EQ(readBytes(folder.record), std::string(date).append("6\r\n").append(1, '\0').append("\r\n"));
}

// Room for every byte the rewrite writes, not only the growth: what the file system reports
// decides, reserved or not; one that reports no size at all (ramfs, some FUSE) cannot say there
// is no room; where it cannot be asked, the reservation decides (a rewrite that does not grow has
// nothing to reserve).
TEST(LaunchRecordWhole, RoomForEveryByteWrittenAsTheFileSystemReportsIt)
{
    struct Case {
        const char* name = "";
        std::optional<Room> room; // none: the question refused
        Outcome reserve = Outcome::Done;
        bool advances = false;
        bool advancesInPlace = false; // a rewrite of the same length
    };
    const std::uint64_t disk = std::uint64_t{1} << 40U;
    const bool reserves = testing_support::systemReservesSpace();
    for (const Case& c : {
             Case{"room", Room{disk / 2, disk}, Outcome::Done, true, true},
             Case{"full, reserved all the same (copy-on-write)", Room{0, disk}, Outcome::Done, false, false},
             Case{"a block left", Room{4096, disk}, Outcome::Done, true, true},
             Case{"less than a block", Room{4095, disk}, Outcome::Unsupported, false, false},
             Case{"no size reported", Room{0, 0}, Outcome::Unsupported, true, true},
             Case{"not asked, reserved", std::nullopt, Outcome::Done, true, true},
             Case{"not asked, nothing reserved", std::nullopt, Outcome::Unsupported, false, true},
         }) {
        for (const bool grows : {false, true}) {
            const RecordFolder folder;
            const std::string before = date + (grows ? "9" : "41") + "\r\nnotes\r\n";
            writeBytes(folder.record, before);
            SeamFiles files([&](const SeamFiles::Call& call) {
                return call.op == "reserve"           ? c.reserve
                       : call.op == "room" && !c.room ? Outcome::Failed
                                                      : Outcome::Done;
            });
            files.roomAnswer = c.room;
            EXPECT_EQ(folder.start(files), grows ? 9 : 41) << c.name;
            const std::string after = trelvik::advanceRecordText(before).text;
            // Under Wine nothing is reserved: where the reservation would decide, nothing is written.
            const bool reservationDecides = !c.room && c.reserve == Outcome::Done && grows;
            const bool advances = (grows ? c.advances : c.advancesInPlace) && (!reservationDecides || reserves);
            EXPECT_EQ(readBytes(folder.record), advances ? after : before) << c.name << (grows ? " grows" : "");
            EXPECT_TRUE(testing_support::ordered(files.first("room"), files.first("write")) || !advances) << c.name;
        }
    }
}

// A write refused part way is undone; where the undo is refused too, the start counts what the
// record now holds, and its date line is whole.
TEST(LaunchRecordWhole, AWriteRefusedPartWayIsUndoneOrTheStartCountsWhatTheRecordHolds)
{
    for (const bool undone : {true, false}) {
        const RecordFolder folder;
        const std::string before = date + "9\r\n" + std::string(50, 'n') + "\r\n";
        writeBytes(folder.record, before);
        SeamFiles files([&](const SeamFiles::Call& call) {
            const std::size_t nth = files.of("write").size(); // this call included
            return call.op == "write" && nth >= 2 && (!undone || nth == 2) ? Outcome::NoRoom : Outcome::Done;
        });
        files.partialWrites = true;
        const std::int32_t count = folder.start(files);
        const std::string after = readBytes(folder.record);
        ASSERT_EQ(after.substr(0, date.size()), date) << undone;
        if (undone) {
            EXPECT_EQ(count, 9);
            EXPECT_EQ(after, before);
        } else {
            EXPECT_NE(after, before);
            EXPECT_EQ(count, trelvik::parseCounter(trelvik::splitLines(after).at(1)));
        }
    }
}

// A creation refused for a moment (a scanner's hold on the new name) is waited out.
TEST(LaunchRecordWhole, ACreationRefusedForAMomentIsWaitedOut)
{
    const RecordFolder folder;
    int refusals = 2;
    SeamFiles files([&](const SeamFiles::Call& call) {
        const bool creation = call.op == "open" && call.value == static_cast<int>(trelvik::platform::Access::Create);
        return creation && refusals-- > 0 ? Outcome::Busy : Outcome::Done;
    });
    EXPECT_EQ(folder.start(files), 1);
    EXPECT_EQ(readBytes(folder.record), date + "1");
    EXPECT_FALSE(files.of("sleep").empty());
}

} // namespace
