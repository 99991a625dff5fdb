// The simulated host's object model: the objects an add-in reaches from the application,
// organised like the interface they implement (sdk/Core/Application, sdk/Core/UserInterface).
#pragma once

#include "model/Application.h"
#include "model/Commands.h"
#include "model/HostText.h"
#include "model/Palettes.h"
#include "model/Toolbars.h"
#include "model/UserInterface.h"
