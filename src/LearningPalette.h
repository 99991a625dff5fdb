// The learning palette: an HTML palette of the host showing the learning page.
#pragma once

#include "LearningPageUrl.h"

#include <Core/CoreAll.h>

#include <string>
#include <string_view>

namespace trelvik {

struct AddinState;

// The URL for the application's entitlement text and language. An empty application, or one
// without preferences or their general part, throws std::exception.
std::string composeLearningPageUrl(const adsk::core::Ptr<adsk::core::Application>& application);

// Shows the palette "teachPalete" from palettes: an existing one is only made visible (and given
// handler if the host refused one before); a new one is created with url, docked, given handler
// and made visible once the host took the handler.
// The palette reference of the add-in state is replaced by what the lookup or creation gives.
void displayPalette(AddinState& state, const adsk::core::Ptr<adsk::core::Palettes>& palettes,
                    adsk::core::HTMLEventHandler& handler, const std::string& url);

// The show-palette routine: run by the guide button and, at start-up, during the first starts.
void showPalette(AddinState& state);

// The notification shared by both page-message handlers: opens an accepted link.
void openPageLink(const adsk::core::Ptr<adsk::core::HTMLEventArgs>& eventArgs);

} // namespace trelvik
