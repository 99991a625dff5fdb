// The launch record: a small text file beside the library that counts the add-in's starts.
//
// Format: line 1 the creation date (dd.mm.yyyy, local time), line 2 the launch counter, lines 3
// and later kept as they are. Line ends are written CR LF; CR LF and bare LF are read.
#pragma once

#include "platform/FileSystem.h"
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
    std::int32_t launchCount; // the counter read (0 when unreadable, 1 when missing)
    std::string text;         // the record to write back
};

// Advances the counter of an existing record's content.
RecordUpdate advanceRecordText(std::string_view content);

// The record's lines without their ends: CR LF and LF end a line, and the end of the content right
// after a line end yields no further line.
std::vector<std::string_view> splitLines(std::string_view content);

// Reads line 2 the way strtol reads base 10; no digits or a value outside 32 bits give 0.
std::int32_t parseCounter(std::string_view line);

// Starts that overlap queue on the record's lock, and wait out a scanner's hold on it, with
// pauses doubling from 1 ms to the longest, never more than the patience in all: 447 ms, 1 + 2 +
// ... + 64 and then 64 five times more.
inline constexpr unsigned longestPauseMilliseconds = 64;
inline constexpr unsigned patienceMilliseconds = 450;

// Creates or advances the record of the library (RecordFile.cpp) and returns the launch count: 1
// when the record was missing or empty, -1 when it exists but cannot be reached or read (it is
// then left alone), otherwise the counter read. Never throws.
std::int32_t advanceLaunchRecord(const platform::NativePath& library, const platform::LocalDate& today,
                                 platform::FileSystem& files = platform::FileSystem::system()) noexcept;

} // namespace trelvik
