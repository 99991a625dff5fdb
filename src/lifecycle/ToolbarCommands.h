// The guide and e-shop buttons in the quick-access toolbar "QATRight".
#pragma once

#include <Core/CoreAll.h>

namespace trelvik {

struct AddinState;

// Defines both commands, places them and adds their created handlers. False at the first step
// that the host refuses; what earlier steps created stays in the host until stop.
bool createToolbarCommands(AddinState& state, const adsk::core::Ptr<adsk::core::Toolbar>& toolbar);

// Deletes the e-shop then the guide command: definition first, then its control. Whatever is
// missing, or does not cast to a command control, is left.
void removeToolbarCommands(const AddinState& state, const adsk::core::Ptr<adsk::core::Toolbar>& toolbar);

} // namespace trelvik
