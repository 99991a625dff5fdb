// Links the learning page sends: opened in the default browser when the link check accepts them.
#pragma once

#include <Core/CoreAll.h>

namespace trelvik {

// The notification shared by both page-message handlers: opens an accepted link.
void openPageLink(const adsk::core::Ptr<adsk::core::HTMLEventArgs>& eventArgs);

} // namespace trelvik
