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

// How long a start tries for a lock: this many pauses, doubling from 1 ms (31 ms in all).
inline constexpr unsigned lockPauses = 5;
// As many links as the Linux kernel itself follows before it reports a loop.
inline constexpr int maximumLinks = 40;
// A temporary file of this writer's pattern is a dead start's once it is this old.
inline constexpr std::int64_t staleTemporarySeconds = 300;

// ".~" + 8 lower-case hex digits + ".tmp": short and of fixed length, so it fits wherever the
// record's own name fits.
platform::NativePath temporaryName(std::uint32_t number);
bool isTemporaryName(std::basic_string_view<platform::PathChar> name);

// Creates or advances the record of the library (RecordFile.cpp) and returns the launch count: 1
// when the record was missing (or its links loop), -1 when it exists but cannot be reached or read
// (it is then left alone), otherwise the counter read. Never throws.
std::int32_t advanceLaunchRecord(const platform::NativePath& library, const platform::LocalDate& today,
                                 platform::FileSystem& files = platform::FileSystem::system()) noexcept;

} // namespace trelvik
