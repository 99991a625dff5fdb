#include "AddinState.h"

#include "AddinHandlers.h"

namespace trelvik {

namespace {

// One object, so that construction and destruction follow the member order: the handlers end
// before the references they might use.
struct Addin {
    AddinState state;
    AddinHandlers handlers;
};

Addin g_addin;

} // namespace

AddinState& addinState() { return g_addin.state; }
AddinHandlers& addinHandlers() { return g_addin.handlers; }

} // namespace trelvik
