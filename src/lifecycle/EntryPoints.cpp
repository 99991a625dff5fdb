// The two functions the host calls: run after loading the library, stop before unloading it.
#include "AddinHandlers.h"
#include "AddinState.h"
#include "ToolbarCommands.h"
#include "hostbridge/Containment.h"
#include "hostbridge/References.h"
#include "launchrecord/LaunchCount.h"
#include "launchrecord/RecordFile.h"
#include "palette/LearningPalette.h"
#include "platform/Platform.h"

#include <Core/CoreAll.h>

namespace trelvik {

namespace core = adsk::core;

namespace {

constexpr const char* quickAccessToolbarId = "QATRight";

// Asked anew from the application each time, not from the stored user interface.
core::Ptr<core::Toolbar> findQuickAccessToolbar(const core::Ptr<core::Application>& application)
{
    return application->userInterface()->toolbars()->itemById(quickAccessToolbarId);
}

// A step that returns false ends run; nothing done before is undone.
bool runSteps(AddinState& state)
{
    storeReference(state.application, core::Application::get());
    if (!state.application) {
        return false;
    }
    storeReference(state.userInterface, state.application->userInterface());
    if (!state.userInterface) {
        return false;
    }
    state.launchCount = advanceLaunchRecord(platform::libraryPath(), platform::today());
    {
        const core::Ptr<core::ApplicationEvent> onlineStatus = state.application->onlineStatusChanged();
        if (!onlineStatus) {
            return false;
        }
        onlineStatus->add(&addinHandlers().onlineStatusChanged); // the answer is not needed
    }
    if (!state.application->isOffLine() && isFirstLaunches(state.launchCount)) {
        showPalette(state.palette, state.application, addinHandlers().quelsHtml);
    }
    const core::Ptr<core::Toolbar> toolbar = findQuickAccessToolbar(state.application);
    if (!toolbar) {
        return false;
    }
    return createToolbarCommands(state, toolbar);
}

bool stopSteps(AddinState& state)
{
    if (!state.userInterface) {
        return true;
    }
    {
        const core::Ptr<core::Palettes> palettes = state.userInterface->palettes();
        if (!palettes) {
            return false;
        }
        if (core::Ptr<core::Palette> palette = palettes->itemById("teachPalete")) {
            palette->deleteMe();
        }
    }
    const core::Ptr<core::Toolbar> toolbar = findQuickAccessToolbar(state.application);
    if (!toolbar) {
        return false;
    }
    removeToolbarCommands(state, toolbar);
    state.userInterface = nullptr;
    return true;
}

} // namespace

} // namespace trelvik

extern "C" {

// Neither entry point reads its argument.
XI_EXPORT bool run(const char* /*context*/)
{
    return trelvik::containEntryPoint([] { return trelvik::runSteps(trelvik::addinState()); });
}

XI_EXPORT bool stop(const char* /*context*/)
{
    return trelvik::containEntryPoint([] { return trelvik::stopSteps(trelvik::addinState()); });
}
}
