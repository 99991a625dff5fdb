// The launch record's file, written once for every system over the primitives of FileSystem.h.
//
// Every start takes the record where it is and rewrites it in place under an exclusive lock, from
// its first changed byte on: the date line never changes, so no moment of an update lacks it, and
// the file stays the same file (its owner, rights, attributes and other names untouched).
#include "RecordFile.h"

#include "RecordFormat.h"

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

// The whole file: a read shorter than asked is its end (the first asks for one byte more than the
// file had when it was opened). None when a read fails, also part way.
std::optional<std::string> readAll(OpenFile& file)
{
    std::string content;
    for (std::size_t asked = file.facts().size + 1;; asked *= 2) {
        const std::size_t have = content.size();
        content.resize(have + asked);
        const std::optional<std::size_t> got = file.read(have, {content.data() + have, asked});
        content.resize(have + got.value_or(0));
        if (!got || *got < asked) {
            return got ? std::optional<std::string>(std::move(content)) : std::nullopt;
        }
    }
}

bool writeAt(OpenFile& file, std::uint64_t offset, std::string_view bytes)
{
    for (std::optional<std::size_t> put; !bytes.empty(); bytes.remove_prefix(*put), offset += *put) {
        if (!(put = file.write(offset, bytes)) || *put == 0) {
            return false;
        }
    }
    return true;
}

// Room for the file to grow to size: reserved, or where the file system cannot reserve, as much
// free space as it reports (a write into a full disk would come up short inside the record).
bool roomFor(OpenFile& file, std::uint64_t size, std::uint64_t growth)
{
    const Outcome reserved = file.reserve(size);
    const std::optional<std::uint64_t> room = reserved == Outcome::Unsupported ? file.room() : std::nullopt;
    return reserved == Outcome::Done || (room && *room >= growth);
}

// Gives the open record the new text where it differs from the old: room first, so a full disk
// changes nothing; a refused write puts the old bytes back; the file cut last, and only when
// shorter. True when the new text is on stable storage.
bool rewrite(OpenFile& file, std::string_view old, std::string_view text)
{
    const auto from =
        static_cast<std::size_t>(std::mismatch(old.begin(), old.end(), text.begin(), text.end()).first - old.begin());
    if (text.size() > old.size() && !roomFor(file, text.size(), text.size() - old.size())) {
        return false;
    }
    if (!writeAt(file, from, text.substr(from))) {
        writeAt(file, from, old.substr(from));
        if (text.size() > old.size()) {
            file.truncate(old.size());
        }
        return false;
    }
    return (text.size() >= old.size() || file.truncate(text.size())) && file.sync();
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
        const std::optional<std::string> content = readAll(file);
        if (!content) {
            return -1;
        }
        // Nothing in it is a creation cut short, this start's own or one that died: it gets its date.
        const RecordUpdate next =
            content->empty() ? RecordUpdate{1, newRecordText(today)} : advanceRecordText(*content);
        if (writable && rewrite(file, *content, next.text) && record.created) {
            files.syncFolder(path);
        }
        return next.launchCount;
    } catch (...) {
        return -1;
    }
}

} // namespace trelvik
