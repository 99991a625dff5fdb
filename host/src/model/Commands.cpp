#include "Commands.h"

#include "../TextResults.h"
#include "HostOperations.h"

#include <algorithm>
#include <string_view>

namespace simhost {

namespace {

// The ids the host takes for a command: letters, digits and underscores.
bool isCommandId(std::string_view id)
{
    return !id.empty() && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

} // namespace

CommandImpl::CommandImpl(Services& services, std::string definitionId)
    : Counted(services, "Command " + definitionId), definitionId_(std::move(definitionId)),
      inputs_(services.make<CommandInputsImpl>()),
      execute_(services.make<CommandEventImpl>(
          "execute:" + definitionId_,
          EventOperations{operations::commandEventAdd, operations::commandEventRemove, operations::commandEventArgs},
          definitionId_))
{
    inputs_.setOwner(*this);
    execute_.setOwner(*this);
}

core::CommandInputs* CommandImpl::commandInputs_raw() const
{
    return answer(operations::commandCommandInputs, inputs_, definitionId_);
}

core::CommandEvent* CommandImpl::execute_raw() const
{
    return answer(operations::commandExecute, execute_, definitionId_);
}

core::Command* CommandCreatedEventArgsImpl::command_raw() const
{
    return answer(operations::commandCreatedEventArgsCommand, command_, commandId_);
}

CommandDefinitionImpl::CommandDefinitionImpl(Services& services, CommandDefinitionsImpl& container, std::string id,
                                             ButtonLook look)
    : Counted(services, "CommandDefinition " + id), container_(container), id_(std::move(id)), look_(std::move(look)),
      created_(services.make<CommandCreatedEventImpl>("commandCreated:" + id_,
                                                      EventOperations{operations::commandCreatedEventAdd,
                                                                      operations::commandCreatedEventRemove,
                                                                      operations::commandCreatedEventArgs},
                                                      id_))
{
    created_.setOwner(*this);
}

core::CommandCreatedEvent* CommandDefinitionImpl::commandCreated_raw() const
{
    return answer(operations::commandDefinitionCommandCreated, created_, id_);
}

bool CommandDefinitionImpl::deleteMe_raw()
{
    return deleteFromHost(operations::commandDefinitionDeleteMe, "commandDefinition", id_,
                          [&] { container_.list().remove(*this); });
}

char* CommandDefinitionImpl::id_raw() const
{
    return alive(operations::commandDefinitionId) ? textResult(id_) : nullptr;
}

core::CommandDefinition* CommandDefinitionsImpl::addButtonDefinition_raw(const char* id, const char* name,
                                                                         const char* tooltip,
                                                                         const char* resourceFolder)
{
    if (!alive(operations::commandDefinitionsAddButtonDefinition) || id == nullptr ||
        faultFires(operations::commandDefinitionsAddButtonDefinition, id)) {
        return nullptr;
    }
    if (!isCommandId(id)) {
        services_.recorder.violation("invalidArgument", std::string("command id '") + id + "' is not [A-Za-z0-9_]+");
        return nullptr;
    }
    if (definitions_.find(id) != nullptr) {
        // Like the real host, an id can be defined only once.
        services_.recorder.trace("op", "note").add("text", std::string("command definition already exists: ") + id);
        return nullptr;
    }
    const ButtonLook look{name != nullptr ? name : "", tooltip != nullptr ? tooltip : "",
                          resourceFolder != nullptr ? resourceFolder : ""};
    auto& definition = services_.make<CommandDefinitionImpl>(*this, id, look);
    definition.markMadeByAddin();
    definitions_.add(definition);
    services_.recorder.trace("op", "addButtonDefinition")
        .add("id", std::string(id))
        .add("name", look.name)
        .add("tooltip", look.tooltip)
        .add("resourceFolder", look.resourceFolder);
    return definition.handOut();
}

core::CommandDefinition* CommandDefinitionsImpl::itemById_raw(const char* id) const
{
    if (!alive(operations::commandDefinitionsItemById) || id == nullptr ||
        faultFires(operations::commandDefinitionsItemById, id)) {
        return nullptr;
    }
    CommandDefinitionImpl* definition = definitions_.find(id);
    return definition != nullptr ? definition->handOut() : nullptr;
}

} // namespace simhost
