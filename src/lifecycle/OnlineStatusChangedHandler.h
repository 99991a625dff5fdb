// Opens the learning palette when the host reports it is on-line during the first starts.
#pragma once

#include <Core/CoreAll.h>

namespace trelvik {

class OnlineStatusChangedHandler final : public adsk::core::ApplicationEventHandler {
public:
    void notify(const adsk::core::Ptr<adsk::core::ApplicationEventArgs>& eventArgs) override;
};

} // namespace trelvik
