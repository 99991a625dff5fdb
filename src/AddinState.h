// The add-in state: process-wide, from library load to unload.
//
// Members are constructed in declaration order when the library loads (before the host can call
// run) and destroyed in reverse order when it unloads: the seven handler objects first (which
// disconnects them from the host's events), then the palette, user-interface and application
// references. The host calls run, stop and every notification one at a time on its UI thread,
// so the state is used without synchronisation.
#pragma once

#include "CommandHandlers.h"
#include "OnlineStatusChangedHandler.h"
#include "PaletteHandlers.h"

#include <Core/CoreAll.h>

#include <cstdint>

namespace trelvik {

struct AddinState {
    adsk::core::Ptr<adsk::core::Application> application;
    adsk::core::Ptr<adsk::core::UserInterface> userInterface;
    adsk::core::Ptr<adsk::core::Palette> palette;
    // The palette was created but the host refused its page-message handler: the next show
    // tries again, so its links do not stay dead until stop.
    bool paletteAwaitsHandler = false;
    std::int32_t launchCount = 0;

    QuelsHTMLEventHandler quelsHtml;
    QuelFirst3sHTMLEventHandler quelFirst3sHtml;
    CmdExecuteEventHandler cmdExecute;
    CmdEshopExecuteEventHandler cmdEshopExecute;
    CmdCreatedEventHandler cmdCreated;
    CmdEshopCreatedEventHandler cmdEshopCreated;
    OnlineStatusChangedHandler onlineStatusChanged;
};

AddinState& addinState();

// Stores obtained into member: the same object changes nothing; otherwise the held object is
// released and the new one held (none empties the member).
template <class T> void storeReference(adsk::core::Ptr<T>& member, adsk::core::Ptr<T> obtained)
{
    if (member.get() != obtained.get()) {
        member = std::move(obtained);
    }
}

// The first-launch condition's count test: 0 to 3, read as unsigned (negative never qualifies).
constexpr bool isFirstLaunches(std::int32_t launchCount) { return static_cast<std::uint32_t>(launchCount) <= 3U; }

} // namespace trelvik
