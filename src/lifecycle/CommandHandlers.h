// Handlers of the two toolbar commands: created handlers add the execute handlers to each
// command the host creates from a definition; execute handlers do the work.
#pragma once

#include <Core/CoreAll.h>

namespace trelvik {

// Guide command: opens the learning palette.
class CmdExecuteEventHandler final : public adsk::core::CommandEventHandler {
public:
    void notify(const adsk::core::Ptr<adsk::core::CommandEventArgs>& eventArgs) override;
};

// E-shop command: opens the shop in the default browser.
class CmdEshopExecuteEventHandler final : public adsk::core::CommandEventHandler {
public:
    void notify(const adsk::core::Ptr<adsk::core::CommandEventArgs>& eventArgs) override;
};

class CmdCreatedEventHandler final : public adsk::core::CommandCreatedEventHandler {
public:
    void notify(const adsk::core::Ptr<adsk::core::CommandCreatedEventArgs>& eventArgs) override;
};

class CmdEshopCreatedEventHandler final : public adsk::core::CommandCreatedEventHandler {
public:
    void notify(const adsk::core::Ptr<adsk::core::CommandCreatedEventArgs>& eventArgs) override;
};

} // namespace trelvik
