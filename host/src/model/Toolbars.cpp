#include "Toolbars.h"

#include "HostOperations.h"
#include "HostText.h"

#include <cstring>

namespace simhost {

namespace {
constexpr const char* quickAccessToolbarId = "QATRight";
} // namespace

CommandControlImpl::CommandControlImpl(Services& services, ToolbarControlsImpl& container,
                                       const CommandDefinitionsImpl& definitions, std::string id,
                                       std::string definitionId)
    : Counted(services, "CommandControl " + id), container_(container), definitions_(definitions), id_(std::move(id)),
      definitionId_(std::move(definitionId))
{
}

void* CommandControlImpl::queryInterface(const char* id) const
{
    if (std::strcmp(id, core::CommandControl::interfaceId()) == 0 && faultFires(operations::toolbarControlCast, id_)) {
        return nullptr;
    }
    if (std::strcmp(id, core::ToolbarControl::interfaceId()) == 0) {
        return const_cast<core::ToolbarControl*>(static_cast<const core::ToolbarControl*>(this));
    }
    return Counted::queryInterface(id);
}

bool CommandControlImpl::deleteMe_raw()
{
    return deleteFromHost(operations::toolbarControlDeleteMe, "commandControl", id_,
                          [&] { container_.list().remove(*this); });
}

char* CommandControlImpl::id_raw() const { return alive(operations::toolbarControlId) ? hostText(id_) : nullptr; }

core::CommandDefinition* CommandControlImpl::commandDefinition_raw() const
{
    if (!alive(operations::commandControlCommandDefinition)) {
        return nullptr;
    }
    // Looked up by id: the definition may have been deleted (and freed) since.
    CommandDefinitionImpl* definition = definitionId_.empty() ? nullptr : definitions_.list().find(definitionId_);
    return definition != nullptr ? definition->handOut() : nullptr;
}

ToolbarControlsImpl::ToolbarControlsImpl(Services& services, const CommandDefinitionsImpl& definitions)
    : Counted(services, std::string("ToolbarControls ") + quickAccessToolbarId), definitions_(definitions)
{
    // The host's own controls that add-ins use as anchors.
    for (const char* anchor : {"UserDisplayNameCommand", "HelpGroupCommand"}) {
        controls_.add(services.make<CommandControlImpl>(*this, definitions_, anchor, ""));
    }
}

core::CommandControl* ToolbarControlsImpl::addCommand_raw(core::CommandDefinition* definition, const char* positionID,
                                                          bool isBefore)
{
    auto* impl = dynamic_cast<CommandDefinitionImpl*>(definition);
    if (impl == nullptr || impl->deleted()) {
        services_.recorder.violation("invalidArgument", "addCommand without a live command definition");
        return nullptr;
    }
    const std::string& id = impl->id();
    if (faultFires(operations::toolbarControlsAddCommand, id)) {
        return nullptr;
    }
    if (controls_.find(id) != nullptr) {
        // Like the real host, a toolbar holds one control per id.
        services_.recorder.trace("op", "note").add("text", "toolbar control already exists: " + id);
        return nullptr;
    }
    const std::string anchor = positionID != nullptr ? positionID : "";
    auto& control = services_.make<CommandControlImpl>(*this, definitions_, id, id);
    controls_.insertAt(control, anchor, !isBefore);
    services_.recorder.trace("op", "addCommand")
        .add("toolbar", quickAccessToolbarId)
        .add("id", id)
        .add("positionID", anchor)
        .add("isBefore", isBefore);
    return control.handOut();
}

core::ToolbarControl* ToolbarControlsImpl::itemById_raw(const char* id) const
{
    if (faultFires(operations::toolbarControlsItemById, id)) {
        return nullptr;
    }
    CommandControlImpl* control = controls_.find(id);
    return control != nullptr ? control->handOut() : nullptr;
}

ToolbarImpl::ToolbarImpl(Services& services, const CommandDefinitionsImpl& definitions, std::string id)
    : Counted(services, "Toolbar " + id), id_(std::move(id)), controls_(services.make<ToolbarControlsImpl>(definitions))
{
}

core::ToolbarControls* ToolbarImpl::controls_raw() const { return answer(operations::toolbarControls, controls_); }

char* ToolbarImpl::id_raw() const { return hostText(id_); }

ToolbarsImpl::ToolbarsImpl(Services& services, const CommandDefinitionsImpl& definitions)
    : Counted(services, "Toolbars"), qatRight_(services.make<ToolbarImpl>(definitions, quickAccessToolbarId))
{
}

core::Toolbar* ToolbarsImpl::itemById_raw(const char* id) const
{
    if (faultFires(operations::toolbarsItemById) || std::strcmp(id, quickAccessToolbarId) != 0) {
        return nullptr;
    }
    return qatRight_.handOut();
}

} // namespace simhost
