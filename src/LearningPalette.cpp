#include "LearningPalette.h"

#include "AddinState.h"
#include "HostText.h"
#include "LinkPolicy.h"
#include "ShellText.h"
#include "platform/Platform.h"

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
bool registerMessageHandler(AddinState& state, core::HTMLEventHandler& handler)
{
    const core::Ptr<core::HTMLEvent> incoming = state.palette->incomingFromHTML();
    if (!incoming || !incoming->add(&handler)) {
        return false;
    }
    state.paletteAwaitsHandler = false;
    return true;
}

} // namespace

void displayPalette(AddinState& state, const core::Ptr<core::Palettes>& palettes, core::HTMLEventHandler& handler,
                    const std::string& url)
{
    storeReference(state.palette, palettes->itemById(paletteId));
    if (state.palette) {
        // Found: shown again as it is, no reload and no docking; only a palette whose handler
        // the host refused before is given one now.
        if (state.paletteAwaitsHandler) {
            registerMessageHandler(state, handler);
        }
        state.palette->isVisible(true);
        return;
    }
    storeReference(state.palette, palettes->add(paletteId, toHostText(u"Trelvik Reziravo 360"), url, true, true, true,
                                                300, 400, true));
    if (!state.palette) {
        return;
    }
    state.palette->dockingState(core::PaletteDockStateLeft);
    state.paletteAwaitsHandler = true;
    if (!registerMessageHandler(state, handler)) {
        // Created visible but deaf to its page: not shown explicitly; the next show finds it,
        // registers the handler again and shows it.
        return;
    }
    state.palette->isVisible(true);
}

void showPalette(AddinState& state)
{
    const std::string url = composeLearningPageUrl(state.application);
    // The palette side takes the application afresh, not from the add-in state.
    const core::Ptr<core::Application> application = core::Application::get();
    if (!application) {
        return;
    }
    const core::Ptr<core::UserInterface> userInterface = application->userInterface();
    if (!userInterface) {
        return;
    }
    const core::Ptr<core::Palettes> palettes = userInterface->palettes();
    if (!palettes) {
        return;
    }
    displayPalette(state, palettes, state.quelsHtml, url);
}

void openPageLink(const core::Ptr<core::HTMLEventArgs>& eventArgs)
{
    const std::optional<std::string> link = acceptLink(eventArgs->data());
    if (!link) {
        return;
    }
    ShellText wide;
    wide.convert(link->c_str(), CP_UTF8_PAGE);
    platform::shellExecute(u"open", wide.get(), nullptr, nullptr, platform::showNormal);
}

} // namespace trelvik
