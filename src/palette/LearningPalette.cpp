#include "LearningPalette.h"

#include "LearningPageUrl.h"
#include "hostbridge/HostText.h"
#include "hostbridge/References.h"

namespace trelvik {

namespace core = adsk::core;

namespace {
constexpr const char* paletteId = "teachPalete";
} // namespace

std::string composeLearningPageUrl(const core::Ptr<core::Application>& application)
{
    const std::string entitlement = application->executeTextCommand("Debug.EntitlementString");
    int language = 0;
    {
        const core::Ptr<core::Preferences> preferences = application->preferences();
        const core::Ptr<core::GeneralPreferences> general = preferences->generalPreferences();
        language = general->userLanguage();
    }
    return learningPageUrl(language, entitlement);
}

namespace {

// Adds handler to the palette's page-message event; true once the host took it.
bool registerMessageHandler(PaletteState& shown, core::HTMLEventHandler& handler)
{
    const core::Ptr<core::HTMLEvent> incoming = shown.palette->incomingFromHTML();
    if (!incoming || !incoming->add(&handler)) {
        return false;
    }
    shown.awaitsHandler = false;
    return true;
}

} // namespace

void displayPalette(PaletteState& shown, const core::Ptr<core::Palettes>& palettes, core::HTMLEventHandler& handler,
                    const std::string& url)
{
    storeReference(shown.palette, palettes->itemById(paletteId));
    if (shown.palette) {
        // Found: shown again as it is, no reload and no docking; only a palette whose handler
        // the host refused before is given one now.
        if (shown.awaitsHandler) {
            registerMessageHandler(shown, handler);
        }
        shown.palette->isVisible(true);
        return;
    }
    storeReference(shown.palette, palettes->add(paletteId, toHostText(u"Trelvik Reziravo 360"), url, true, true, true,
                                                300, 400, true));
    if (!shown.palette) {
        return;
    }
    shown.palette->dockingState(core::PaletteDockStateLeft);
    shown.awaitsHandler = true;
    if (!registerMessageHandler(shown, handler)) {
        // Created visible but deaf to its page: not shown explicitly; the next show finds it,
        // registers the handler again and shows it.
        return;
    }
    shown.palette->isVisible(true);
}

void showPalette(PaletteState& shown, const core::Ptr<core::Application>& application, core::HTMLEventHandler& handler)
{
    const std::string url = composeLearningPageUrl(application);
    // The palette side takes the application afresh, not from the add-in state.
    const core::Ptr<core::Application> fresh = core::Application::get();
    if (!fresh) {
        return;
    }
    const core::Ptr<core::UserInterface> userInterface = fresh->userInterface();
    if (!userInterface) {
        return;
    }
    const core::Ptr<core::Palettes> palettes = userInterface->palettes();
    if (!palettes) {
        return;
    }
    displayPalette(shown, palettes, handler, url);
}

} // namespace trelvik
