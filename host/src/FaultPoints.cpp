#include <simhost/Session.h>

namespace simhost {

namespace {
// Operations keyed by command id exist once per command the add-in defines.
std::vector<std::string> makeFaultPoints()
{
    std::vector<std::string> points = {
        "Application.get",
        "Application.userInterface",
        "Application.preferences",
        "Application.onlineStatusChanged",
        "Application.executeTextCommand",
        "Preferences.generalPreferences",
        "ApplicationEvent.add",
        "ApplicationEvent.args",
        "UserInterface.toolbars",
        "UserInterface.commandDefinitions",
        "UserInterface.palettes",
        "Toolbars.itemById",
        "Toolbar.controls",
        "Palettes.itemById",
        "Palettes.add",
        "Palette.incomingFromHTML",
        "HTMLEvent.add",
        "HTMLEvent.args",
        "HTMLEventArgs.data",
    };
    const char* const keyed[] = {
        "CommandDefinitions.addButtonDefinition",
        "CommandDefinitions.itemById",
        "CommandDefinition.commandCreated",
        "CommandCreatedEvent.add",
        "CommandCreatedEvent.args",
        "CommandCreatedEventArgs.command",
        "ToolbarControls.addCommand",
        "ToolbarControls.itemById",
        "ToolbarControl.cast",
        "Command.commandInputs",
        "Command.execute",
        "CommandEvent.add",
        "CommandEvent.args",
    };
    for (const char* point : keyed) {
        for (const char* id : {"runTeachPalette", "openEshop"}) {
            points.push_back(std::string(point) + ":" + id);
        }
    }
    return points;
}
} // namespace

const std::vector<std::string>& Session::faultPoints()
{
    static const std::vector<std::string> points = makeFaultPoints();
    return points;
}

} // namespace simhost
