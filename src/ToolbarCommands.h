// The guide and e-shop buttons in the quick-access toolbar "QATRight".
#pragma once

#include <Core/CoreAll.h>

#include <cstdint>
#include <string>

namespace trelvik {

struct AddinState;

// The "new" icon sets are used while the count is not 0 and, signed, at most 9 (so 1 to 9 and
// every negative count).
constexpr bool useLessTenIcons(std::int32_t launchCount) { return launchCount != 0 && launchCount <= 9; }

// Defines both commands, places them and adds their created handlers. False at the first step
// that the host refuses; what earlier steps created stays in the host until stop.
bool createToolbarCommands(AddinState& state, const adsk::core::Ptr<adsk::core::Toolbar>& toolbar);

// Deletes the e-shop then the guide command: definition first, then its control. Whatever is
// missing, or does not cast to a command control, is left.
void removeToolbarCommands(const AddinState& state, const adsk::core::Ptr<adsk::core::Toolbar>& toolbar);

} // namespace trelvik
