#include "Model.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace simhost {

char* hostText(const std::string& text)
{
    // Freed by DeallocateArrayInternal, which the add-in calls through the host library.
    auto array = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(array.get(), text.c_str(), text.size() + 1);
    return array.release();
}

// --- preferences -------------------------------------------------------------------------

core::UserLanguages GeneralPreferencesImpl::userLanguage_raw() const
{
    checkAlive("userLanguage");
    return static_cast<core::UserLanguages>(session_.options().language);
}

PreferencesImpl::PreferencesImpl(SessionState& session)
    : Counted(session, "Preferences"), general_(session.make<GeneralPreferencesImpl>())
{
}

core::GeneralPreferences* PreferencesImpl::generalPreferences_raw() const
{
    checkAlive("generalPreferences");
    return session_.fault("Preferences.generalPreferences") ? nullptr : general_.handOut();
}

// --- toolbar -------------------------------------------------------------------------------

CommandControlImpl::CommandControlImpl(SessionState& session, std::string id, std::string definitionId)
    : Counted(session, "CommandControl " + id), id_(std::move(id)), definitionId_(std::move(definitionId))
{
}

void* CommandControlImpl::queryInterface(const char* id) const
{
    if (std::strcmp(id, core::CommandControl::interfaceId()) == 0 && session_.fault("ToolbarControl.cast", id_)) {
        return nullptr;
    }
    if (std::strcmp(id, core::ToolbarControl::interfaceId()) == 0) {
        return const_cast<core::ToolbarControl*>(static_cast<const core::ToolbarControl*>(this));
    }
    return Counted::queryInterface(id);
}

bool CommandControlImpl::deleteMe_raw()
{
    checkAlive("deleteMe");
    if (deleted()) {
        return false;
    }
    markDeleted();
    session_.app().ui().toolbars().quickAccessRight().controls().remove(this);
    session_.trace("op", "deleteMe").add("kind", "commandControl").add("id", id_);
    return true;
}

char* CommandControlImpl::id_raw() const
{
    checkAlive("id");
    return hostText(id_);
}

core::CommandDefinition* CommandControlImpl::commandDefinition_raw() const
{
    checkAlive("commandDefinition");
    // Looked up by id: the definition may have been deleted (and freed) since.
    CommandDefinitionImpl* definition =
        definitionId_.empty() ? nullptr : session_.app().ui().definitions().find(definitionId_);
    return definition != nullptr ? definition->handOut() : nullptr;
}

ToolbarControlsImpl::ToolbarControlsImpl(SessionState& session) : Counted(session, "ToolbarControls QATRight")
{
    // The host's own controls that add-ins use as anchors.
    for (const char* anchor : {"UserDisplayNameCommand", "HelpGroupCommand"}) {
        controls_.push_back(&session.make<CommandControlImpl>(anchor, ""));
    }
}

void ToolbarControlsImpl::remove(const CommandControlImpl* control)
{
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

std::vector<std::string> ToolbarControlsImpl::ids() const
{
    std::vector<std::string> ids;
    for (const CommandControlImpl* control : controls_) {
        ids.push_back(control->id());
    }
    return ids;
}

core::CommandControl* ToolbarControlsImpl::addCommand_raw(core::CommandDefinition* definition, const char* positionID,
                                                          bool isBefore)
{
    checkAlive("addCommand");
    auto* impl = dynamic_cast<CommandDefinitionImpl*>(definition);
    if (impl == nullptr || impl->deleted()) {
        session_.violation("invalidArgument", "addCommand without a live command definition");
        return nullptr;
    }
    const std::string& id = impl->id();
    if (session_.fault("ToolbarControls.addCommand", id)) {
        return nullptr;
    }
    if (std::any_of(controls_.begin(), controls_.end(),
                    [&](const CommandControlImpl* control) { return control->id() == id; })) {
        // Like the real host, a toolbar holds one control per id.
        session_.trace("op", "note").add("text", "toolbar control already exists: " + id);
        return nullptr;
    }
    const std::string anchor = positionID != nullptr ? positionID : "";
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [&](const CommandControlImpl* control) { return control->id() == anchor; });
    if (it != controls_.end() && !isBefore) {
        ++it;
    }
    auto& control = session_.make<CommandControlImpl>(id, id);
    controls_.insert(it, &control);
    session_.trace("op", "addCommand")
        .add("toolbar", "QATRight")
        .add("id", id)
        .add("positionID", anchor)
        .add("isBefore", isBefore);
    return control.handOut();
}

core::ToolbarControl* ToolbarControlsImpl::itemById_raw(const char* id) const
{
    checkAlive("itemById");
    if (session_.fault("ToolbarControls.itemById", id)) {
        return nullptr;
    }
    for (CommandControlImpl* control : controls_) {
        if (control->id() == id) {
            control->addref();
            return control;
        }
    }
    return nullptr;
}

ToolbarImpl::ToolbarImpl(SessionState& session, std::string id)
    : Counted(session, "Toolbar " + id), id_(std::move(id)), controls_(session.make<ToolbarControlsImpl>())
{
}

core::ToolbarControls* ToolbarImpl::controls_raw() const
{
    checkAlive("controls");
    return session_.fault("Toolbar.controls") ? nullptr : controls_.handOut();
}

char* ToolbarImpl::id_raw() const
{
    checkAlive("id");
    return hostText(id_);
}

ToolbarsImpl::ToolbarsImpl(SessionState& session)
    : Counted(session, "Toolbars"), qatRight_(session.make<ToolbarImpl>("QATRight"))
{
}

core::Toolbar* ToolbarsImpl::itemById_raw(const char* id) const
{
    checkAlive("itemById");
    if (session_.fault("Toolbars.itemById") || std::strcmp(id, "QATRight") != 0) {
        return nullptr;
    }
    return qatRight_.handOut();
}

// --- commands ------------------------------------------------------------------------------

CommandImpl::CommandImpl(SessionState& session, std::string definitionId)
    : Counted(session, "Command " + definitionId), definitionId_(std::move(definitionId)),
      inputs_(session.make<CommandInputsImpl>()),
      execute_(session.make<CommandEventImpl>("CommandEvent", "execute:" + definitionId_, definitionId_))
{
    inputs_.setOwner(*this);
    execute_.setOwner(*this);
}

core::CommandInputs* CommandImpl::commandInputs_raw() const
{
    checkAlive("commandInputs");
    return session_.fault("Command.commandInputs", definitionId_) ? nullptr : inputs_.handOut();
}

core::CommandEvent* CommandImpl::execute_raw() const
{
    checkAlive("execute");
    return session_.fault("Command.execute", definitionId_) ? nullptr : execute_.handOut();
}

core::Command* CommandCreatedEventArgsImpl::command_raw() const
{
    checkAlive("command");
    return session_.fault("CommandCreatedEventArgs.command", key_) ? nullptr : command_.handOut();
}

CommandDefinitionImpl::CommandDefinitionImpl(SessionState& session, std::string id, ButtonLook look)
    : Counted(session, "CommandDefinition " + id), id_(std::move(id)), look_(std::move(look)),
      created_(session.make<CommandCreatedEventImpl>("CommandCreatedEvent", "commandCreated:" + id_, id_))
{
    created_.setOwner(*this);
}

core::CommandCreatedEvent* CommandDefinitionImpl::commandCreated_raw() const
{
    checkAlive("commandCreated");
    return session_.fault("CommandDefinition.commandCreated", id_) ? nullptr : created_.handOut();
}

bool CommandDefinitionImpl::deleteMe_raw()
{
    checkAlive("deleteMe");
    if (deleted()) {
        return false;
    }
    markDeleted();
    session_.app().ui().definitions().remove(this);
    session_.trace("op", "deleteMe").add("kind", "commandDefinition").add("id", id_);
    return true;
}

char* CommandDefinitionImpl::id_raw() const
{
    checkAlive("id");
    return hostText(id_);
}

CommandDefinitionImpl* CommandDefinitionsImpl::find(const std::string& id) const
{
    const auto it = std::find_if(definitions_.begin(), definitions_.end(),
                                 [&](const CommandDefinitionImpl* definition) { return definition->id() == id; });
    return it != definitions_.end() ? *it : nullptr;
}

void CommandDefinitionsImpl::remove(const CommandDefinitionImpl* definition)
{
    definitions_.erase(std::remove(definitions_.begin(), definitions_.end(), definition), definitions_.end());
}

core::CommandDefinition* CommandDefinitionsImpl::addButtonDefinition_raw(const char* id, const char* name,
                                                                         const char* tooltip,
                                                                         const char* resourceFolder)
{
    checkAlive("addButtonDefinition");
    if (session_.fault("CommandDefinitions.addButtonDefinition", id)) {
        return nullptr;
    }
    if (find(id) != nullptr) {
        // Like the real host, an id can be defined only once.
        session_.trace("op", "note").add("text", std::string("command definition already exists: ") + id);
        return nullptr;
    }
    auto& definition = session_.make<CommandDefinitionImpl>(id, ButtonLook{name, tooltip, resourceFolder});
    definitions_.push_back(&definition);
    session_.trace("op", "addButtonDefinition")
        .add("id", std::string(id))
        .add("name", std::string(name))
        .add("tooltip", std::string(tooltip))
        .add("resourceFolder", std::string(resourceFolder));
    return definition.handOut();
}

core::CommandDefinition* CommandDefinitionsImpl::itemById_raw(const char* id) const
{
    checkAlive("itemById");
    if (session_.fault("CommandDefinitions.itemById", id)) {
        return nullptr;
    }
    CommandDefinitionImpl* definition = find(id);
    return definition != nullptr ? definition->handOut() : nullptr;
}

// --- palettes ------------------------------------------------------------------------------

PaletteImpl::PaletteImpl(SessionState& session, std::string id, bool visible, PaletteLook look)
    : Counted(session, "Palette " + id), id_(std::move(id)), visible_(visible), look_(std::move(look)),
      incoming_(session.make<HTMLEventImpl>("HTMLEvent", "incomingFromHTML:" + id_, ""))
{
    incoming_.setOwner(*this);
}

bool PaletteImpl::isVisible_raw() const
{
    checkAlive("isVisible");
    return visible_;
}

bool PaletteImpl::isVisible_raw(bool value)
{
    checkAlive("isVisible");
    visible_ = value;
    session_.trace("op", "setVisible").add("id", id_).add("value", value);
    return true;
}

core::PaletteDockingStates PaletteImpl::dockingState_raw() const
{
    checkAlive("dockingState");
    return docking_;
}

bool PaletteImpl::dockingState_raw(core::PaletteDockingStates value)
{
    checkAlive("dockingState");
    docking_ = value;
    session_.trace("op", "dockingState").add("id", id_).add("value", static_cast<std::int64_t>(value));
    return true;
}

core::HTMLEvent* PaletteImpl::incomingFromHTML_raw() const
{
    checkAlive("incomingFromHTML");
    return session_.fault("Palette.incomingFromHTML") ? nullptr : incoming_.handOut();
}

bool PaletteImpl::deleteMe_raw()
{
    checkAlive("deleteMe");
    if (deleted()) {
        return false;
    }
    markDeleted();
    visible_ = false;
    session_.app().ui().palettes().remove(this);
    session_.trace("op", "deleteMe").add("kind", "palette").add("id", id_);
    return true;
}

char* PaletteImpl::id_raw() const
{
    checkAlive("id");
    return hostText(id_);
}

PaletteImpl* PalettesImpl::find(const std::string& id) const
{
    const auto it = std::find_if(palettes_.begin(), palettes_.end(),
                                 [&](const PaletteImpl* palette) { return palette->id() == id; });
    return it != palettes_.end() ? *it : nullptr;
}

void PalettesImpl::remove(const PaletteImpl* palette)
{
    palettes_.erase(std::remove(palettes_.begin(), palettes_.end(), palette), palettes_.end());
}

core::Palette* PalettesImpl::add_raw(const char* id, const char* name, const char* htmlFileURL, bool isVisible,
                                     bool showCloseButton, bool isResizable, int width, int height,
                                     bool useNewWebBrowser)
{
    checkAlive("add");
    if (session_.fault("Palettes.add")) {
        return nullptr;
    }
    if (find(id) != nullptr) {
        session_.trace("op", "note").add("text", std::string("palette already exists: ") + id);
        return nullptr;
    }
    auto& palette = session_.make<PaletteImpl>(id, isVisible, PaletteLook{name, htmlFileURL, width, height});
    palettes_.push_back(&palette);
    session_.trace("op", "addPalette")
        .add("id", std::string(id))
        .add("name", std::string(name))
        .add("url", std::string(htmlFileURL))
        .add("isVisible", isVisible)
        .add("showCloseButton", showCloseButton)
        .add("isResizable", isResizable)
        .add("width", static_cast<std::int64_t>(width))
        .add("height", static_cast<std::int64_t>(height))
        .add("useNewWebBrowser", useNewWebBrowser);
    return palette.handOut();
}

core::Palette* PalettesImpl::itemById_raw(const char* id) const
{
    checkAlive("itemById");
    if (session_.fault("Palettes.itemById")) {
        return nullptr;
    }
    PaletteImpl* palette = find(id);
    return palette != nullptr ? palette->handOut() : nullptr;
}

char* HTMLEventArgsImpl::data_raw() const
{
    checkAlive("data");
    return session_.fault("HTMLEventArgs.data") ? nullptr : hostText(data_);
}

// --- application ---------------------------------------------------------------------------

UserInterfaceImpl::UserInterfaceImpl(SessionState& session)
    : Counted(session, "UserInterface"), toolbars_(session.make<ToolbarsImpl>()),
      definitions_(session.make<CommandDefinitionsImpl>()), palettes_(session.make<PalettesImpl>())
{
}

core::Toolbars* UserInterfaceImpl::toolbars_raw() const
{
    checkAlive("toolbars");
    return session_.fault("UserInterface.toolbars") ? nullptr : toolbars_.handOut();
}

core::CommandDefinitions* UserInterfaceImpl::commandDefinitions_raw() const
{
    checkAlive("commandDefinitions");
    return session_.fault("UserInterface.commandDefinitions") ? nullptr : definitions_.handOut();
}

core::Palettes* UserInterfaceImpl::palettes_raw() const
{
    checkAlive("palettes");
    return session_.fault("UserInterface.palettes") ? nullptr : palettes_.handOut();
}

AppImpl::AppImpl(SessionState& session)
    : Counted(session, "Application"), ui_(session.make<UserInterfaceImpl>()),
      preferences_(session.make<PreferencesImpl>()),
      online_(session.make<ApplicationEventImpl>("ApplicationEvent", "onlineStatusChanged", ""))
{
}

core::UserInterface* AppImpl::userInterface_raw() const
{
    checkAlive("userInterface");
    return session_.fault("Application.userInterface") ? nullptr : ui_.handOut();
}

core::Preferences* AppImpl::preferences_raw() const
{
    checkAlive("preferences");
    return session_.fault("Application.preferences") ? nullptr : preferences_.handOut();
}

bool AppImpl::isOffLine_raw() const
{
    checkAlive("isOffLine");
    return session_.offline();
}

core::ApplicationEvent* AppImpl::onlineStatusChanged_raw() const
{
    checkAlive("onlineStatusChanged");
    return session_.fault("Application.onlineStatusChanged") ? nullptr : online_.handOut();
}

char* AppImpl::executeTextCommand_raw(const char* command) const
{
    checkAlive("executeTextCommand");
    const auto& entitlement = session_.options().entitlement;
    if (session_.fault("Application.executeTextCommand") || std::strcmp(command, "Debug.EntitlementString") != 0 ||
        !entitlement) {
        return nullptr;
    }
    return hostText(*entitlement);
}

} // namespace simhost
