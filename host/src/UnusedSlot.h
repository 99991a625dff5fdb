// The simulated host's answer to a call through a slot of the host's layout that the add-in is
// never expected to use (the build generates the definition of every such slot, HostSlots.cpp, from
// sdk/abi/HostVtables.txt).
#pragma once

namespace simhost {

// Records {"op":"violation","rule":"unusedSlot","detail":"CLASS slot N"} in the running session
// and answers none: a null pointer, which also reads as false or 0.
void* unusedSlot(const char* className, int slot);

} // namespace simhost
