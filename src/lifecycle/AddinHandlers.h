// The add-in's seven handler objects, which live as long as the library (lifecycle/AddinState.h).
#pragma once

#include "CommandHandlers.h"
#include "OnlineStatusChangedHandler.h"
#include "PaletteHandlers.h"

namespace trelvik {

struct AddinHandlers {
    QuelsHTMLEventHandler quelsHtml;
    QuelFirst3sHTMLEventHandler quelFirst3sHtml;
    CmdExecuteEventHandler cmdExecute;
    CmdEshopExecuteEventHandler cmdEshopExecute;
    CmdCreatedEventHandler cmdCreated;
    CmdEshopCreatedEventHandler cmdEshopCreated;
    OnlineStatusChangedHandler onlineStatusChanged;
};

} // namespace trelvik
