#include "OnlineStatusChangedHandler.h"

#include "AddinHandlers.h"
#include "AddinState.h"
#include "hostbridge/Containment.h"
#include "launchrecord/LaunchCount.h"
#include "palette/LearningPalette.h"

namespace trelvik {

namespace core = adsk::core;

void OnlineStatusChangedHandler::notify(const core::Ptr<core::ApplicationEventArgs>& eventArgs)
{
    containNotification([&] {
        AddinState& state = addinState();
        // The flag is read before the count is compared; otherwise no host call is made.
        if (!eventArgs || eventArgs->isOffLine() || !isFirstLaunches(state.launchCount)) {
            return;
        }
        const std::string url = composeLearningPageUrl(state.application);
        // From the stored user interface: after stop it is empty, and that ends the display.
        const core::Ptr<core::Palettes> palettes = state.userInterface->palettes();
        if (!palettes) {
            return;
        }
        displayPalette(state.palette, palettes, addinHandlers().quelFirst3sHtml, url);
    });
}

} // namespace trelvik
