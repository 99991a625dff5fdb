#include "CommandHandlers.h"

#include "AddinHandlers.h"
#include "AddinState.h"
#include "BuildConfig.h"
#include "hostbridge/Containment.h"
#include "palette/LearningPalette.h"
#include "platform/Shell.h"

namespace trelvik {

namespace core = adsk::core;

namespace {

// Gives each command the host creates from a definition the execute handler; a command
// without its companion object gets none.
void addExecuteHandler(const core::Ptr<core::CommandCreatedEventArgs>& eventArgs, core::CommandEventHandler& handler)
{
    const core::Ptr<core::Command> command = eventArgs->command();
    const core::Ptr<core::CommandInputs> inputs = command->commandInputs();
    if (!inputs) {
        return;
    }
    if (const core::Ptr<core::CommandEvent> execute = command->execute()) {
        execute->add(&handler);
    }
}

} // namespace

void CmdCreatedEventHandler::notify(const core::Ptr<core::CommandCreatedEventArgs>& eventArgs)
{
    containNotification([&] { addExecuteHandler(eventArgs, addinHandlers().cmdExecute); });
}

void CmdEshopCreatedEventHandler::notify(const core::Ptr<core::CommandCreatedEventArgs>& eventArgs)
{
    containNotification([&] { addExecuteHandler(eventArgs, addinHandlers().cmdEshopExecute); });
}

void CmdExecuteEventHandler::notify(const core::Ptr<core::CommandEventArgs>& /*eventArgs*/)
{
    containNotification([] {
        AddinState& state = addinState();
        showPalette(state.palette, state.application, addinHandlers().quelsHtml);
    });
}

void CmdEshopExecuteEventHandler::notify(const core::Ptr<core::CommandEventArgs>& /*eventArgs*/)
{
    containNotification(
        [] { platform::shellExecute(u"open", config::eshopAddress, nullptr, nullptr, platform::showNormal); });
}

} // namespace trelvik
