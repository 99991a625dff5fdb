// The simulated host's answer to a call through a slot of the host's layout that it does not
// model (the build's HostSlots.cpp, generated from sdk/abi/HostVtables.txt, defines every such
// slot with a call of this).
#pragma once

namespace simhost {

// Records {"op":"violation","kind":"notModelled","call":"CLASS.FUNCTION"} in the running session
// (from another thread than the host's: noted as a call from the wrong thread). The caller
// answers none.
void notModelled(const char* className, const char* function);

} // namespace simhost
