#include "Toolbars.h"

#include "../TextResults.h"
#include "HostOperations.h"

#include <algorithm>
#include <cstring>

namespace simhost {

CommandControlImpl::CommandControlImpl(Services& services, ToolbarControlsImpl& container,
                                       const CommandDefinitionsImpl& definitions, std::string id,
                                       std::string definitionId)
    : Counted(services, "CommandControl " + id), container_(container), definitions_(definitions), id_(std::move(id)),
      definitionId_(std::move(definitionId))
{
}

void* CommandControlImpl::queryInterface(const char* id) const
{
    void* found = Counted::queryInterface(id);
    if (found != nullptr && std::strcmp(id, core::CommandControl::interfaceId()) == 0 &&
        faultFires(operations::toolbarControlCast, id_)) {
        return nullptr;
    }
    return found;
}

bool CommandControlImpl::deleteMe_raw()
{
    return deleteFromHost(operations::toolbarControlDeleteMe, "commandControl", id_,
                          [&] { container_.list().remove(*this); });
}

char* CommandControlImpl::id_raw() const { return alive(operations::toolbarControlId) ? textResult(id_) : nullptr; }

core::CommandDefinition* CommandControlImpl::commandDefinition_raw() const
{
    if (!alive(operations::commandControlCommandDefinition)) {
        return nullptr;
    }
    // Looked up by id: the definition may have been deleted (and freed) since.
    CommandDefinitionImpl* definition = definitionId_.empty() ? nullptr : definitions_.list().find(definitionId_);
    return definition != nullptr ? definition->handOut() : nullptr;
}

ToolbarControlsImpl::ToolbarControlsImpl(Services& services, const CommandDefinitionsImpl& definitions,
                                         std::string toolbarId, const std::vector<const char*>& anchors)
    : Counted(services, "ToolbarControls " + toolbarId), definitions_(definitions), toolbarId_(std::move(toolbarId))
{
    for (const char* anchor : anchors) {
        controls_.add(services.make<CommandControlImpl>(*this, definitions_, anchor, ""));
    }
}

core::CommandControl* ToolbarControlsImpl::addCommand_raw(core::CommandDefinition* definition, const char* positionID,
                                                          bool isBefore)
{
    if (!alive(operations::toolbarControlsAddCommand)) {
        return nullptr;
    }
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
    control.markMadeByAddin();
    controls_.insertAt(control, anchor, !isBefore);
    services_.recorder.trace("op", "addCommand")
        .add("toolbar", toolbarId_)
        .add("id", id)
        .add("positionID", anchor)
        .add("isBefore", isBefore);
    return control.handOut();
}

core::ToolbarControl* ToolbarControlsImpl::itemById_raw(const char* id) const
{
    if (!alive(operations::toolbarControlsItemById) || id == nullptr ||
        faultFires(operations::toolbarControlsItemById, id)) {
        return nullptr;
    }
    CommandControlImpl* control = controls_.find(id);
    return control != nullptr ? control->handOut() : nullptr;
}

ToolbarImpl::ToolbarImpl(Services& services, const CommandDefinitionsImpl& definitions, std::string id,
                         const std::vector<const char*>& anchors)
    : Counted(services, "Toolbar " + id), id_(std::move(id)),
      controls_(services.make<ToolbarControlsImpl>(definitions, id_, anchors))
{
}

core::ToolbarControls* ToolbarImpl::controls_raw() const { return answer(operations::toolbarControls, controls_); }

char* ToolbarImpl::id_raw() const { return alive(operations::toolbarId) ? textResult(id_) : nullptr; }

ToolbarsImpl::ToolbarsImpl(Services& services, const CommandDefinitionsImpl& definitions)
    : Counted(services, "Toolbars"),
      toolbars_{&services.make<ToolbarImpl>(definitions, "QAT", std::vector<const char*>{}),
                // The host's own controls that add-ins use as anchors.
                &services.make<ToolbarImpl>(definitions, "QATRight",
                                            std::vector<const char*>{"UserDisplayNameCommand", "HelpGroupCommand"}),
                &services.make<ToolbarImpl>(definitions, "NavToolbar", std::vector<const char*>{})}
{
}

bool ToolbarsImpl::hasButton(const std::string& definitionId) const
{
    return std::any_of(toolbars_.begin(), toolbars_.end(), [&](ToolbarImpl* toolbar) {
        const auto& controls = toolbar->controls().list().items();
        return std::any_of(controls.begin(), controls.end(),
                           [&](const CommandControlImpl* control) { return control->definitionId() == definitionId; });
    });
}

core::Toolbar* ToolbarsImpl::itemById_raw(const char* id) const
{
    if (!alive(operations::toolbarsItemById) || id == nullptr || faultFires(operations::toolbarsItemById)) {
        return nullptr;
    }
    const auto found = std::find_if(toolbars_.begin(), toolbars_.end(),
                                    [&](const ToolbarImpl* toolbar) { return toolbar->id() == id; });
    return found != toolbars_.end() ? (*found)->handOut() : nullptr;
}

} // namespace simhost
