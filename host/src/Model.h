// The simulated host's object model: the objects the add-in reaches from the application.
#pragma once

#include "Counted.h"
#include "Events.h"
#include "SessionState.h"

#include <Core/CoreAll.h>

#include <string>
#include <vector>

namespace simhost {

namespace core = adsk::core;

using ApplicationEventImpl =
    EventImpl<core::ApplicationEvent, core::ApplicationEventHandler, core::ApplicationEventArgs>;
using CommandCreatedEventImpl =
    EventImpl<core::CommandCreatedEvent, core::CommandCreatedEventHandler, core::CommandCreatedEventArgs>;
using CommandEventImpl = EventImpl<core::CommandEvent, core::CommandEventHandler, core::CommandEventArgs>;
using HTMLEventImpl = EventImpl<core::HTMLEvent, core::HTMLEventHandler, core::HTMLEventArgs>;

// A copy of text in a host-allocated array, as host operations return text.
char* hostText(const std::string& text);

class GeneralPreferencesImpl final : public Counted<core::GeneralPreferences> {
public:
    explicit GeneralPreferencesImpl(SessionState& session) : Counted(session, "GeneralPreferences") {}

private:
    core::UserLanguages userLanguage_raw() const override;
};

class PreferencesImpl final : public Counted<core::Preferences> {
public:
    explicit PreferencesImpl(SessionState& session);

private:
    core::GeneralPreferences* generalPreferences_raw() const override;
    GeneralPreferencesImpl& general_;
};

class CommandDefinitionImpl;

class CommandControlImpl final : public Counted<core::CommandControl> {
public:
    // definitionId is empty for the host's own controls.
    CommandControlImpl(SessionState& session, std::string id, std::string definitionId);
    [[nodiscard]] const std::string& id() const { return id_; }
    [[nodiscard]] const std::string& definitionId() const { return definitionId_; }

protected:
    void* queryInterface(const char* id) const override;

private:
    bool deleteMe_raw() override;
    char* id_raw() const override;
    core::CommandDefinition* commandDefinition_raw() const override;

    std::string id_;
    std::string definitionId_;
};

class ToolbarControlsImpl final : public Counted<core::ToolbarControls> {
public:
    explicit ToolbarControlsImpl(SessionState& session);
    void remove(const CommandControlImpl* control);
    [[nodiscard]] std::vector<std::string> ids() const;
    [[nodiscard]] const std::vector<CommandControlImpl*>& controls() const { return controls_; }

private:
    core::CommandControl* addCommand_raw(core::CommandDefinition* definition, const char* positionID,
                                         bool isBefore) override;
    core::ToolbarControl* itemById_raw(const char* id) const override;

    std::vector<CommandControlImpl*> controls_;
};

class ToolbarImpl final : public Counted<core::Toolbar> {
public:
    ToolbarImpl(SessionState& session, std::string id);
    [[nodiscard]] ToolbarControlsImpl& controls() { return controls_; }
    [[nodiscard]] const std::string& id() const { return id_; }

private:
    core::ToolbarControls* controls_raw() const override;
    char* id_raw() const override;

    std::string id_;
    ToolbarControlsImpl& controls_;
};

class ToolbarsImpl final : public Counted<core::Toolbars> {
public:
    explicit ToolbarsImpl(SessionState& session);
    [[nodiscard]] ToolbarImpl& quickAccessRight() { return qatRight_; }

private:
    core::Toolbar* itemById_raw(const char* id) const override;
    ToolbarImpl& qatRight_;
};

class CommandInputsImpl final : public Counted<core::CommandInputs> {
public:
    explicit CommandInputsImpl(SessionState& session) : Counted(session, "CommandInputs") {}
};

class CommandImpl final : public Counted<core::Command> {
public:
    CommandImpl(SessionState& session, std::string definitionId);
    [[nodiscard]] CommandEventImpl& executeEvent() { return execute_; }

private:
    core::CommandInputs* commandInputs_raw() const override;
    core::CommandEvent* execute_raw() const override;

    std::string definitionId_;
    CommandInputsImpl& inputs_;
    CommandEventImpl& execute_;
};

// What a button definition shows: its name, tooltip and icon folder.
struct ButtonLook {
    std::string name;
    std::string tooltip;
    std::string resourceFolder;
};

class CommandDefinitionImpl final : public Counted<core::CommandDefinition> {
public:
    CommandDefinitionImpl(SessionState& session, std::string id, ButtonLook look);
    [[nodiscard]] const std::string& id() const { return id_; }
    [[nodiscard]] const ButtonLook& look() const { return look_; }
    [[nodiscard]] CommandCreatedEventImpl& createdEvent() { return created_; }

private:
    core::CommandCreatedEvent* commandCreated_raw() const override;
    bool deleteMe_raw() override;
    char* id_raw() const override;

    std::string id_;
    ButtonLook look_;
    CommandCreatedEventImpl& created_;
};

class CommandDefinitionsImpl final : public Counted<core::CommandDefinitions> {
public:
    explicit CommandDefinitionsImpl(SessionState& session) : Counted(session, "CommandDefinitions") {}
    [[nodiscard]] CommandDefinitionImpl* find(const std::string& id) const;
    void remove(const CommandDefinitionImpl* definition);

private:
    core::CommandDefinition* addButtonDefinition_raw(const char* id, const char* name, const char* tooltip,
                                                     const char* resourceFolder) override;
    core::CommandDefinition* itemById_raw(const char* id) const override;

    std::vector<CommandDefinitionImpl*> definitions_;
};

// What a palette was created with.
struct PaletteLook {
    std::string name;
    std::string url;
    int width = 0;
    int height = 0;
};

class PaletteImpl final : public Counted<core::Palette> {
public:
    PaletteImpl(SessionState& session, std::string id, bool visible, PaletteLook look);
    [[nodiscard]] const std::string& id() const { return id_; }
    [[nodiscard]] bool visible() const { return visible_; }
    [[nodiscard]] const PaletteLook& look() const { return look_; }
    [[nodiscard]] int docking() const { return static_cast<int>(docking_); }
    [[nodiscard]] HTMLEventImpl& htmlEvent() { return incoming_; }
    // The user's close button: hidden, not deleted.
    void closeByUser() { visible_ = false; }

private:
    bool isVisible_raw() const override;
    bool isVisible_raw(bool value) override;
    core::PaletteDockingStates dockingState_raw() const override;
    bool dockingState_raw(core::PaletteDockingStates value) override;
    core::HTMLEvent* incomingFromHTML_raw() const override;
    bool deleteMe_raw() override;
    char* id_raw() const override;

    std::string id_;
    bool visible_;
    PaletteLook look_;
    core::PaletteDockingStates docking_ = core::PaletteDockStateFloating;
    HTMLEventImpl& incoming_;
};

class PalettesImpl final : public Counted<core::Palettes> {
public:
    explicit PalettesImpl(SessionState& session) : Counted(session, "Palettes") {}
    [[nodiscard]] PaletteImpl* find(const std::string& id) const;
    void remove(const PaletteImpl* palette);
    [[nodiscard]] const std::vector<PaletteImpl*>& all() const { return palettes_; }

private:
    core::Palette* add_raw(const char* id, const char* name, const char* htmlFileURL, bool isVisible,
                           bool showCloseButton, bool isResizable, int width, int height,
                           bool useNewWebBrowser) override;
    core::Palette* itemById_raw(const char* id) const override;

    std::vector<PaletteImpl*> palettes_;
};

class UserInterfaceImpl final : public Counted<core::UserInterface> {
public:
    explicit UserInterfaceImpl(SessionState& session);
    ToolbarsImpl& toolbars() { return toolbars_; }
    CommandDefinitionsImpl& definitions() { return definitions_; }
    PalettesImpl& palettes() { return palettes_; }

private:
    core::Toolbars* toolbars_raw() const override;
    core::CommandDefinitions* commandDefinitions_raw() const override;
    core::Palettes* palettes_raw() const override;

    ToolbarsImpl& toolbars_;
    CommandDefinitionsImpl& definitions_;
    PalettesImpl& palettes_;
};

class AppImpl final : public Counted<core::Application> {
public:
    explicit AppImpl(SessionState& session);
    UserInterfaceImpl& ui() { return ui_; }
    ApplicationEventImpl& onlineEvent() { return online_; }

private:
    core::UserInterface* userInterface_raw() const override;
    core::Preferences* preferences_raw() const override;
    bool isOffLine_raw() const override;
    core::ApplicationEvent* onlineStatusChanged_raw() const override;
    char* executeTextCommand_raw(const char* command) const override;

    UserInterfaceImpl& ui_;
    PreferencesImpl& preferences_;
    ApplicationEventImpl& online_;
};

// Event arguments, made by the session when it fires an event.
class ApplicationEventArgsImpl final : public Counted<core::ApplicationEventArgs> {
public:
    ApplicationEventArgsImpl(SessionState& session, bool offline)
        : Counted(session, "ApplicationEventArgs"), offline_(offline)
    {
    }

private:
    bool isOffLine_raw() const override { return offline_; }
    bool offline_;
};

class CommandCreatedEventArgsImpl final : public Counted<core::CommandCreatedEventArgs> {
public:
    CommandCreatedEventArgsImpl(SessionState& session, CommandImpl& command, std::string key)
        : Counted(session, "CommandCreatedEventArgs"), command_(command), key_(std::move(key))
    {
    }

private:
    core::Command* command_raw() const override;
    CommandImpl& command_;
    std::string key_;
};

class CommandEventArgsImpl final : public Counted<core::CommandEventArgs> {
public:
    CommandEventArgsImpl(SessionState& session, CommandImpl& command)
        : Counted(session, "CommandEventArgs"), command_(command)
    {
    }

private:
    core::Command* command_raw() const override { return command_.handOut(); }
    CommandImpl& command_;
};

class HTMLEventArgsImpl final : public Counted<core::HTMLEventArgs> {
public:
    HTMLEventArgsImpl(SessionState& session, std::string data)
        : Counted(session, "HTMLEventArgs"), data_(std::move(data))
    {
    }

private:
    char* action_raw() const override { return hostText("send"); }
    char* data_raw() const override;
    std::string data_;
};

} // namespace simhost
