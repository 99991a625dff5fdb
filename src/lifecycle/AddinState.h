// The add-in's state between the host's calls, and its handler objects: process-wide, from library
// load to unload.
//
// Constructed when the library loads (before the host can call run) and destroyed when it unloads:
// the seven handler objects first (which disconnects them from the host's events), then the
// palette, user-interface and application references. The host calls run, stop and every
// notification one at a time on its UI thread, so the state is used without synchronisation.
// Handlers reach it through addinState(): a handler object is the host's 16 bytes and holds no
// data of its own, so it cannot be given the state.
#pragma once

#include "palette/LearningPalette.h"

#include <Core/CoreAll.h>

#include <cstdint>

namespace trelvik {

struct AddinState {
    adsk::core::Ptr<adsk::core::Application> application;
    adsk::core::Ptr<adsk::core::UserInterface> userInterface;
    PaletteState palette;
    std::int32_t launchCount = 0; // launchrecord/LaunchCount.h
};

struct AddinHandlers; // lifecycle/AddinHandlers.h

AddinState& addinState();
AddinHandlers& addinHandlers();

} // namespace trelvik
