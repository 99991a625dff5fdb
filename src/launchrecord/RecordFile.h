// The launch record's file: how a start creates or advances it, once for every system, over the
// file primitives of platform/FileSystem.h.
#pragma once

#include "platform/FileSystem.h"
#include "platform/Platform.h"

#include <cstdint>

namespace trelvik {

// Starts that overlap queue on the record's lock, and wait out a scanner's hold on it, with
// pauses doubling from 1 ms to the longest, never more than the patience in all: 447 ms, 1 + 2 +
// ... + 64 and then 64 five times more.
inline constexpr unsigned longestPauseMilliseconds = 64;
inline constexpr unsigned patienceMilliseconds = 450;

// Creates or advances the record of the library and returns the launch count
// (launchrecord/LaunchCount.h). A record that cannot be reached or read is left alone. Never
// throws.
std::int32_t advanceLaunchRecord(const platform::NativePath& library, const platform::LocalDate& today,
                                 platform::FileSystem& files = platform::FileSystem::system()) noexcept;

} // namespace trelvik
