// The launch count: what a start counts, by the record it finds, and what the count decides. The
// rules of the count live here, together; launchrecord/RecordFile.h is how a start gets it.
//
// What a start counts:
//   no record (the start makes it), or one that cannot be made            1
//   an empty record (a creation that was cut short; the start dates it)   1
//   a record of one line                                                  1
//   a record whose line 2 is a number (read as strtol reads it)           that number
//   a record whose line 2 holds no number, or one outside 32 bits         0
//   a record that exists but cannot be reached or read (left alone)       -1
// The counter the start writes back is the count plus one, wrapping at 32 bits.
#pragma once

#include <cstdint>

namespace trelvik {

// The palette opens by itself at start-up for the counts 0 to 3, read as unsigned: the first four
// starts, never -1.
constexpr bool isFirstLaunches(std::int32_t launchCount) { return static_cast<std::uint32_t>(launchCount) <= 3U; }

// The buttons carry the "new" icons for the counts 1 to 9 and every negative one.
constexpr bool useLessTenIcons(std::int32_t launchCount) { return launchCount != 0 && launchCount <= 9; }

} // namespace trelvik
