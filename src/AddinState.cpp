#include "AddinState.h"

namespace trelvik {

namespace {
// One object, so construction and destruction order are the member order.
AddinState g_state;
} // namespace

AddinState& addinState() { return g_state; }

} // namespace trelvik
