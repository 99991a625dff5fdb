// The learning palette: an HTML palette of the host showing the learning page.
#pragma once

#include <Core/CoreAll.h>

#include <string>

namespace trelvik {

// The palette as the add-in holds it between the host's calls.
struct PaletteState {
    adsk::core::Ptr<adsk::core::Palette> palette;
    // Created, but the host refused its page-message handler: the next show tries again, so its
    // links do not stay dead until stop.
    bool awaitsHandler = false;
};

// The URL for the application's entitlement text and language. An empty application, or one
// without preferences or their general part, throws std::exception.
std::string composeLearningPageUrl(const adsk::core::Ptr<adsk::core::Application>& application);

// Shows the palette "teachPalete" from palettes: an existing one is only made visible (and given
// handler if the host refused one before); a new one is created with url, docked, given handler
// and made visible once the host took the handler. The held palette is replaced by what the
// lookup or creation gives.
void displayPalette(PaletteState& shown, const adsk::core::Ptr<adsk::core::Palettes>& palettes,
                    adsk::core::HTMLEventHandler& handler, const std::string& url);

// The show-palette routine, run by the guide button and, at start-up, during the first starts: the
// URL from the application the add-in holds, the palettes from the application asked anew.
void showPalette(PaletteState& shown, const adsk::core::Ptr<adsk::core::Application>& application,
                 adsk::core::HTMLEventHandler& handler);

} // namespace trelvik
