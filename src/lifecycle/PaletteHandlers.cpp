#include "PaletteHandlers.h"

#include "hostbridge/Containment.h"
#include "palette/PageLinks.h"

namespace trelvik {

namespace core = adsk::core;

void QuelsHTMLEventHandler::notify(const core::Ptr<core::HTMLEventArgs>& eventArgs)
{
    containNotification([&] { openPageLink(eventArgs); });
}

void QuelFirst3sHTMLEventHandler::notify(const core::Ptr<core::HTMLEventArgs>& eventArgs)
{
    containNotification([&] { openPageLink(eventArgs); });
}

} // namespace trelvik
