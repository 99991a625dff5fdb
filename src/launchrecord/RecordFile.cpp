// The launch record's file, written once for every system over the primitives of FileSystem.h.
//
// Every start takes the record where it is and rewrites it in place under an exclusive lock, from
// its first changed byte on: the date line never changes, so no moment of an update lacks it, and
// the file stays the same file (its owner, rights, attributes and other names untouched).
#include "RecordFile.h"

#include "RecordFormat.h"
#include "RecordIo.h"

#include <algorithm>

namespace trelvik {

namespace {

using platform::Access;
using platform::FileSystem;
using platform::NativePath;
using platform::OpenFile;
using platform::Outcome;

// Pauses before another try at what someone else holds for a moment, doubling up to the longest
// pause; false once a pause would take the start past its patience (run is on the host's
// user-interface thread, and must never wait for long).
struct Patience {
    FileSystem& files;
    unsigned spent = 0;
    unsigned next = 1;

    bool pause()
    {
        const bool left = spent + next <= patienceMilliseconds;
        if (left) {
            files.sleep(next);
            spent += next;
            next = std::min(next * 2, longestPauseMilliseconds);
        }
        return left;
    }
};

struct Record {
    std::unique_ptr<OpenFile> file;
    bool writable = false;
    bool created = false;   // opened by making it: its folder has a new entry
    std::int32_t count = 1; // when there is no file: 1 when it cannot be made, -1 out of reach
};

// The record open for writing where allowed, for reading otherwise, made when missing.
Record openRecord(FileSystem& files, const NativePath& path, Patience& patience)
{
    for (;;) {
        Record record{nullptr, true};
        platform::Opened opened = files.open(path, Access::ReadWrite);
        if (opened.outcome == Outcome::Missing) {
            record.created = true;
            opened = files.open(path, Access::Create);
            if (opened.outcome != Outcome::Done && opened.outcome != Outcome::Busy) {
                return record; // no folder, or one that takes no new file: every start a first one
            }
        } else if (opened.outcome == Outcome::Denied) {
            record.writable = false;
            opened = files.open(path, Access::Read);
        }
        if (opened.outcome == Outcome::Done) {
            record.writable = record.writable && !opened.file->facts().markedReadOnly;
            record.file = std::move(opened.file);
            return record;
        }
        // Held by someone else, or refused in every mode, as Windows refuses a name pending delete.
        if ((opened.outcome != Outcome::Busy && opened.outcome != Outcome::Denied) || !patience.pause()) {
            record.count = -1;
            return record;
        }
    }
}

bool acquire(OpenFile& file, platform::Lock lock, Patience& patience)
{
    for (;;) {
        const Outcome locked = file.tryLock(lock);
        if (locked == Outcome::Done || locked == Outcome::Unsupported) {
            return true; // a file system without locks keeps no other start out either
        }
        if (locked != Outcome::Busy || !patience.pause()) {
            return false;
        }
    }
}

// The count of what was read: a record of nothing, or of nothing but NUL bytes (a creation cut
// short, or whose bytes the disk lost in a power cut), gets its date as a new one.
RecordUpdate nextRecord(const std::string& content, const platform::LocalDate& today)
{
    const bool undated = content.find_first_not_of('\0') == std::string::npos;
    return undated ? RecordUpdate{1, newRecordText(today)} : advanceRecordText(content);
}

// The count the record holds now, read anew: after a rewrite that could not be undone.
std::int32_t countHeld(OpenFile& file, const platform::LocalDate& today)
{
    const std::optional<RecordContent> content = readRecord(file);
    return content ? nextRecord(content->text, today).launchCount : -1;
}

} // namespace

std::int32_t advanceLaunchRecord(const NativePath& library, const platform::LocalDate& today,
                                 FileSystem& files) noexcept
{
    try {
        if (library.empty()) {
            return -1; // our own path is unknown: touch nothing
        }
        const NativePath path = launchRecordPath(library);
        Patience patience{files};
        const Record record = openRecord(files, path, patience);
        if (record.file == nullptr) {
            return record.count;
        }
        OpenFile& file = *record.file;
        if (!file.facts().regular) {
            return -1; // a folder, FIFO or device is no record
        }
        bool writable = record.writable;
        if (!acquire(file, writable ? platform::Lock::Exclusive : platform::Lock::Shared, patience)) {
            // Held past this start's patience. Other readers still let it read and count (an
            // increment lost); a writer lets it do nothing at all.
            if (!writable || file.tryLock(platform::Lock::Shared) != Outcome::Done) {
                return -1;
            }
            writable = false;
        }
        const std::optional<RecordContent> content = readRecord(file);
        if (!content) {
            return -1;
        }
        const RecordUpdate next = nextRecord(content->text, today);
        // A file past the bound is counted from its first two lines and left as it is.
        const Rewrite written =
            writable && content->whole ? rewrite(file, content->text, next.text) : Rewrite::Unchanged;
        if (written == Rewrite::Written && record.created) {
            files.syncFolder(path);
        }
        return written == Rewrite::Changed ? countHeld(file, today) : next.launchCount;
    } catch (...) {
        return -1;
    }
}

} // namespace trelvik
