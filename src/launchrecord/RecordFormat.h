// The launch record's format: a small text file beside the library that counts the add-in's
// starts. Line 1 the creation date (dd.mm.yyyy, local time), line 2 the launch counter, lines 3
// and later kept as they are. Line ends are written CR LF; CR LF and bare LF are read. What each
// kind of record counts: launchrecord/LaunchCount.h.
#pragma once

#include "platform/NativePath.h"
#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trelvik {

// The record beside the library: its file name with the shared-library extension (".dll" in
// any case, or the platform's own) replaced by "_Info.txt", or "_Info.txt" appended.
platform::NativePath launchRecordPath(const platform::NativePath& library);

// The text of a record created today: date, CR LF, "1", nothing after (13 bytes).
std::string newRecordText(const platform::LocalDate& today);

struct RecordUpdate {
    std::int32_t launchCount; // the count (launchrecord/LaunchCount.h)
    std::string text;         // the record to write back
};

// Advances the counter of an existing record's content.
RecordUpdate advanceRecordText(std::string_view content);

// The record's lines without their ends: CR LF and LF end a line, and the end of the content right
// after a line end yields no further line.
std::vector<std::string_view> splitLines(std::string_view content);

// Reads line 2 the way strtol reads base 10; no digits or a value outside 32 bits give 0.
std::int32_t parseCounter(std::string_view line);

} // namespace trelvik
