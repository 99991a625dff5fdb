#include "ToolbarCommands.h"

#include "AddinHandlers.h"
#include "AddinState.h"
#include "hostbridge/HostText.h"
#include "launchrecord/LaunchCount.h"

#include <string_view>

namespace trelvik {

namespace core = adsk::core;

namespace {

struct ButtonCommand {
    const char* id;
    std::u16string_view name;
    std::u16string_view tooltip;
    const char* iconFolder;
    const char* lessTenIconFolder;
};

constexpr ButtonCommand guideCommand{
    "runTeachPalette",
    u"Zobrazit Trelvik",
    u"Trelvik je pomocník pro začátečníky, integrovaný do prostředí programu Fusion 360 a napomáhá s prvními "
    u"kroky v aplikaci.",
    "resources/Trelvik",
    "resources/Trelvik/LessTen",
};

constexpr ButtonCommand eshopCommand{
    "openEshop",
    u"CAD/CAM eshop",
    u"Otevře nabídku výukových kurzů, doplňků a rozšíření Fusionu 360 na e-shopu Morvane Sytems.",
    "resources/Eshop",
    "resources/Eshop/LessTen",
};

core::Ptr<core::CommandDefinition> define(const AddinState& state, const ButtonCommand& button)
{
    const char* folder = useLessTenIcons(state.launchCount) ? button.lessTenIconFolder : button.iconFolder;
    // Names and tooltips are converted right before they reach the host.
    return state.userInterface->commandDefinitions()->addButtonDefinition(button.id, toHostText(button.name),
                                                                          toHostText(button.tooltip), folder);
}

template <class Handler> bool addCreatedHandler(const core::Ptr<core::CommandDefinition>& definition, Handler& handler)
{
    const core::Ptr<core::CommandCreatedEvent> created = definition->commandCreated();
    return created && created->add(&handler);
}

void removeCommand(const AddinState& state, const core::Ptr<core::Toolbar>& toolbar, const char* id)
{
    if (core::Ptr<core::CommandDefinition> definition = state.userInterface->commandDefinitions()->itemById(id)) {
        definition->deleteMe();
    }
    if (const core::Ptr<core::ToolbarControl> control = toolbar->controls()->itemById(id)) {
        if (core::Ptr<core::CommandControl> commandControl = control->cast<core::CommandControl>()) {
            commandControl->deleteMe();
        }
    }
}

} // namespace

bool createToolbarCommands(AddinState& state, const core::Ptr<core::Toolbar>& toolbar)
{
    const core::Ptr<core::CommandDefinition> guide = define(state, guideCommand);
    if (!guide) {
        return false;
    }
    const core::Ptr<core::CommandDefinition> eshop = define(state, eshopCommand);
    if (!eshop) {
        return false;
    }
    if (!toolbar->controls()->addCommand(eshop, "UserDisplayNameCommand", true)) {
        return false;
    }
    if (!toolbar->controls()->addCommand(guide, "HelpGroupCommand", false)) {
        return false;
    }
    return addCreatedHandler(guide, addinHandlers().cmdCreated) &&
           addCreatedHandler(eshop, addinHandlers().cmdEshopCreated);
}

void removeToolbarCommands(const AddinState& state, const core::Ptr<core::Toolbar>& toolbar)
{
    removeCommand(state, toolbar, eshopCommand.id);
    removeCommand(state, toolbar, guideCommand.id);
}

} // namespace trelvik
