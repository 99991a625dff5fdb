// Handlers of messages from the learning page. Both classes share one notification, so links
// behave the same whichever path created the palette.
#pragma once

#include <Core/CoreAll.h>

namespace trelvik {

// Added by the show-palette routine to a palette it creates.
class QuelsHTMLEventHandler final : public adsk::core::HTMLEventHandler {
public:
    void notify(const adsk::core::Ptr<adsk::core::HTMLEventArgs>& eventArgs) override;
};

// Added by the on-line status handler to a palette it creates.
class QuelFirst3sHTMLEventHandler final : public adsk::core::HTMLEventHandler {
public:
    void notify(const adsk::core::Ptr<adsk::core::HTMLEventArgs>& eventArgs) override;
};

} // namespace trelvik
