// Every host operation that can be made to yield none or refuse (--fail WHAT), named once: the
// model asks for these constants and --list-faults prints the same table, so a misspelt fault
// point cannot exist.
#pragma once

#include <array>
#include <string>

namespace simhost::faults {

inline constexpr const char* applicationGet = "Application.get";
inline constexpr const char* applicationUserInterface = "Application.userInterface";
inline constexpr const char* applicationPreferences = "Application.preferences";
inline constexpr const char* applicationOnlineStatusChanged = "Application.onlineStatusChanged";
inline constexpr const char* applicationExecuteTextCommand = "Application.executeTextCommand";
inline constexpr const char* preferencesGeneralPreferences = "Preferences.generalPreferences";
inline constexpr const char* applicationEventAdd = "ApplicationEvent.add";
inline constexpr const char* applicationEventArgs = "ApplicationEvent.args";
inline constexpr const char* userInterfaceToolbars = "UserInterface.toolbars";
inline constexpr const char* userInterfaceCommandDefinitions = "UserInterface.commandDefinitions";
inline constexpr const char* userInterfacePalettes = "UserInterface.palettes";
inline constexpr const char* toolbarsItemById = "Toolbars.itemById";
inline constexpr const char* toolbarControls = "Toolbar.controls";
inline constexpr const char* palettesItemById = "Palettes.itemById";
inline constexpr const char* palettesAdd = "Palettes.add";
inline constexpr const char* paletteIncomingFromHtml = "Palette.incomingFromHTML";
inline constexpr const char* htmlEventAdd = "HTMLEvent.add";
inline constexpr const char* htmlEventArgs = "HTMLEvent.args";
inline constexpr const char* htmlEventArgsData = "HTMLEventArgs.data";

// Operations on one command's objects: the point is "NAME:COMMAND_ID".
inline constexpr const char* addButtonDefinition = "CommandDefinitions.addButtonDefinition";
inline constexpr const char* commandDefinitionsItemById = "CommandDefinitions.itemById";
inline constexpr const char* commandDefinitionCommandCreated = "CommandDefinition.commandCreated";
inline constexpr const char* commandCreatedEventAdd = "CommandCreatedEvent.add";
inline constexpr const char* commandCreatedEventArgs = "CommandCreatedEvent.args";
inline constexpr const char* commandCreatedEventArgsCommand = "CommandCreatedEventArgs.command";
inline constexpr const char* addCommand = "ToolbarControls.addCommand";
inline constexpr const char* toolbarControlsItemById = "ToolbarControls.itemById";
inline constexpr const char* toolbarControlCast = "ToolbarControl.cast";
inline constexpr const char* commandCommandInputs = "Command.commandInputs";
inline constexpr const char* commandExecute = "Command.execute";
inline constexpr const char* commandEventAdd = "CommandEvent.add";
inline constexpr const char* commandEventArgs = "CommandEvent.args";

inline constexpr std::array plain = {
    applicationGet,
    applicationUserInterface,
    applicationPreferences,
    applicationOnlineStatusChanged,
    applicationExecuteTextCommand,
    preferencesGeneralPreferences,
    applicationEventAdd,
    applicationEventArgs,
    userInterfaceToolbars,
    userInterfaceCommandDefinitions,
    userInterfacePalettes,
    toolbarsItemById,
    toolbarControls,
    palettesItemById,
    palettesAdd,
    paletteIncomingFromHtml,
    htmlEventAdd,
    htmlEventArgs,
    htmlEventArgsData,
};

inline constexpr std::array perCommand = {
    addButtonDefinition,
    commandDefinitionsItemById,
    commandDefinitionCommandCreated,
    commandCreatedEventAdd,
    commandCreatedEventArgs,
    commandCreatedEventArgsCommand,
    addCommand,
    toolbarControlsItemById,
    toolbarControlCast,
    commandCommandInputs,
    commandExecute,
    commandEventAdd,
    commandEventArgs,
};

// The commands --list-faults names the per-command points for: those of this project's add-in.
// Any other command id is accepted as well (the host learns ids from what an add-in defines); the
// fault sweep checks that this list is what the add-in defines.
inline constexpr std::array listedCommandIds = {"runTeachPalette", "openEshop"};

inline std::string forCommand(const char* point, const std::string& commandId)
{
    return std::string(point) + ":" + commandId;
}

} // namespace simhost::faults
