// Reading and rewriting the open launch record, for the algorithm of RecordFile.cpp.
#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace trelvik {

// What a record is: a few lines. A file past this bound is counted from its first two lines and
// left as it is; a start reads no more of it than those lines need (and never more than the
// bound), so that its memory and time stay bounded whatever the file holds.
inline constexpr std::size_t recordBound = std::size_t{1} << 20U;

struct RecordContent {
    std::string text; // the whole record; of a larger file, as much of its start as was read
    bool whole = true;
};

// The record's bytes, read to the true end: a read that answers less than asked is the end only
// when it answers nothing, or when the size the handle gave is reached. None when a read fails,
// also part way.
std::optional<RecordContent> readRecord(platform::OpenFile& file);

enum class Rewrite {
    Written,   // the new text, on stable storage
    Unsynced,  // the new text written, but not brought to stable storage (or an old tail not cut)
    Unchanged, // nothing written, or what was written put back: the record as it was
    Changed,   // a write refused part way that could not be undone: the record holds other bytes
};

// Gives the open record text where it differs from old: room first, for every byte to be written,
// so that a full disk changes nothing; a write refused part way is undone; the file cut last, and
// only when the text is shorter.
Rewrite rewrite(platform::OpenFile& file, std::string_view old, std::string_view text);

} // namespace trelvik
