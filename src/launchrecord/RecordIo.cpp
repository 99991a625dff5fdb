#include "RecordIo.h"

#include <algorithm>

namespace trelvik {

namespace {

using platform::OpenFile;
using platform::Outcome;

// What a read asks for after the first (a record is a few lines), and the pages a rewrite is
// written in, from the last to the first.
constexpr std::size_t chunk = 4096;

bool holdsTwoLines(std::string_view text) { return std::count(text.begin(), text.end(), '\n') >= 2; }

// Writes bytes at offset, in as many writes as the system takes them; how many were written.
std::size_t writeAt(OpenFile& file, std::uint64_t offset, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::optional<std::size_t> put = file.write(offset + done, bytes.substr(done));
        if (!put || *put == 0) {
            break;
        }
        done += *put;
    }
    return done;
}

// Writes bytes at offset page by page, from the last page to the first, so that the first, where
// the count is, changes last: a write refused part way before it leaves the count as it was (a
// full copy-on-write disk refuses a page at a time). None when all were written; otherwise the
// first byte of the page it stopped in, from which bytes may differ.
std::optional<std::uint64_t> writeBackwards(OpenFile& file, std::uint64_t offset, std::string_view bytes)
{
    for (std::uint64_t end = offset + bytes.size(); end > offset;) {
        const std::uint64_t start = std::max<std::uint64_t>(offset, (end - 1) / chunk * chunk);
        const std::string_view page = bytes.substr(start - offset, end - start);
        if (writeAt(file, start, page) != page.size()) {
            return start;
        }
        end = start;
    }
    return std::nullopt;
}

// Room for a rewrite to size that writes written bytes: for every one of them, not only the
// growth. The growth is reserved where the file system can; the file system is also asked, as a
// copy-on-write one needs new space even inside the file. One that reports no size at all cannot
// say there is none. Where it cannot be asked, the reservation decides.
bool roomFor(OpenFile& file, std::uint64_t size, std::uint64_t written)
{
    const Outcome reserved = size > file.facts().size ? file.reserve(size) : Outcome::Done;
    if (reserved != Outcome::Done && reserved != Outcome::Unsupported) {
        return false; // a full disk or quota, or a reservation refused
    }
    const std::optional<platform::Room> room = file.room();
    if (!room) {
        return reserved == Outcome::Done;
    }
    const std::uint64_t block = std::max<std::uint64_t>(room->block, 1);
    return room->total == 0 || room->available >= (written + block - 1) / block * block;
}

} // namespace

std::optional<RecordContent> readRecord(OpenFile& file)
{
    const std::uint64_t handleSize = file.facts().size;
    const bool large = handleSize > recordBound;
    RecordContent content;
    std::string& text = content.text;
    // The first read asks for a byte more than the handle gave: a file that grew since it was
    // opened fills it, and is read on.
    std::size_t asked = large ? chunk : static_cast<std::size_t>(handleSize) + 1;
    for (;;) {
        const std::size_t have = text.size();
        const std::size_t want = std::min(asked, recordBound + 1 - have);
        text.resize(have + want);
        const std::optional<std::size_t> got = file.read(have, {text.data() + have, want});
        text.resize(have + got.value_or(0));
        if (!got) {
            return std::nullopt;
        }
        if (text.size() > recordBound || (large && holdsTwoLines(text))) {
            content.whole = false;
            return content;
        }
        if (*got == 0 || (*got < want && text.size() == handleSize)) {
            return content;
        }
        asked = chunk;
    }
}

Rewrite rewrite(OpenFile& file, std::string_view old, std::string_view text)
{
    // From the first byte that differs; to the last one when the length stays, otherwise to the end.
    const auto from =
        static_cast<std::size_t>(std::mismatch(old.begin(), old.end(), text.begin(), text.end()).first - old.begin());
    const std::size_t to =
        text.size() != old.size()
            ? text.size()
            : text.size() -
                  static_cast<std::size_t>(std::mismatch(old.rbegin(), old.rend(), text.rbegin()).first - old.rbegin());
    const std::string_view changed = text.substr(from, to > from ? to - from : 0);
    if (!roomFor(file, text.size(), changed.size())) {
        return Rewrite::Unchanged;
    }
    if (const std::optional<std::uint64_t> stopped = writeBackwards(file, from, changed)) {
        // Refused part way: the old bytes back where new ones may have gone, the file cut back.
        const auto at = static_cast<std::size_t>(*stopped);
        const std::size_t end = std::min(to, old.size());
        const std::size_t restoring = end > at ? end - at : 0;
        const bool restored = restoring == 0 || writeAt(file, at, old.substr(at, restoring)) == restoring;
        const bool cut = to <= old.size() || file.truncate(old.size());
        return restored && cut ? Rewrite::Unchanged : Rewrite::Changed;
    }
    const bool cut = text.size() >= old.size() || file.truncate(text.size());
    return cut && file.sync() ? Rewrite::Written : Rewrite::Unsynced;
}

} // namespace trelvik
