// Everything an add-in needs from the host API.
#pragma once

#include "Application/Application.h"
#include "Application/ApplicationEvents.h"
#include "Application/Preferences.h"
#include "Base.h"
#include "CoreTypeDefs.h"
#include "Event.h"
#include "EventHandler.h"
#include "Memory.h"
#include "UserInterface/CommandDefinitions.h"
#include "UserInterface/CommandEvents.h"
#include "UserInterface/HTMLEvents.h"
#include "UserInterface/Palettes.h"
#include "UserInterface/Toolbars.h"
#include "UserInterface/UserInterface.h"
