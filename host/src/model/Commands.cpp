#include "Commands.h"

#include "../FaultPoints.h"
#include "HostText.h"

namespace simhost {

CommandImpl::CommandImpl(SessionState& session, std::string definitionId)
    : Counted(session, "Command " + definitionId), definitionId_(std::move(definitionId)),
      inputs_(session.make<CommandInputsImpl>()),
      execute_(session.make<CommandEventImpl>("execute:" + definitionId_, faults::commandEventAdd,
                                              faults::commandEventArgs, definitionId_))
{
    inputs_.setOwner(*this);
    execute_.setOwner(*this);
}

core::CommandInputs* CommandImpl::commandInputs_raw() const
{
    checkAlive("commandInputs");
    return session_.fault(faults::commandCommandInputs, definitionId_) ? nullptr : inputs_.handOut();
}

core::CommandEvent* CommandImpl::execute_raw() const
{
    checkAlive("execute");
    return session_.fault(faults::commandExecute, definitionId_) ? nullptr : execute_.handOut();
}

core::Command* CommandCreatedEventArgsImpl::command_raw() const
{
    checkAlive("command");
    return session_.fault(faults::commandCreatedEventArgsCommand, commandId_) ? nullptr : command_.handOut();
}

CommandDefinitionImpl::CommandDefinitionImpl(SessionState& session, CommandDefinitionsImpl& container, std::string id,
                                             ButtonLook look)
    : Counted(session, "CommandDefinition " + id), container_(container), id_(std::move(id)), look_(std::move(look)),
      created_(session.make<CommandCreatedEventImpl>("commandCreated:" + id_, faults::commandCreatedEventAdd,
                                                     faults::commandCreatedEventArgs, id_))
{
    created_.setOwner(*this);
}

core::CommandCreatedEvent* CommandDefinitionImpl::commandCreated_raw() const
{
    checkAlive("commandCreated");
    return session_.fault(faults::commandDefinitionCommandCreated, id_) ? nullptr : created_.handOut();
}

bool CommandDefinitionImpl::deleteMe_raw()
{
    return deleteFromHost("commandDefinition", id_, [&] { container_.list().remove(*this); });
}

char* CommandDefinitionImpl::id_raw() const
{
    checkAlive("id");
    return hostText(id_);
}

core::CommandDefinition* CommandDefinitionsImpl::addButtonDefinition_raw(const char* id, const char* name,
                                                                         const char* tooltip,
                                                                         const char* resourceFolder)
{
    checkAlive("addButtonDefinition");
    if (session_.fault(faults::addButtonDefinition, id)) {
        return nullptr;
    }
    if (definitions_.find(id) != nullptr) {
        // Like the real host, an id can be defined only once.
        session_.trace("op", "note").add("text", std::string("command definition already exists: ") + id);
        return nullptr;
    }
    const ButtonLook look{name, tooltip, resourceFolder != nullptr ? resourceFolder : ""};
    auto& definition = session_.make<CommandDefinitionImpl>(*this, id, look);
    definitions_.add(definition);
    session_.trace("op", "addButtonDefinition")
        .add("id", std::string(id))
        .add("name", look.name)
        .add("tooltip", look.tooltip)
        .add("resourceFolder", look.resourceFolder);
    return definition.handOut();
}

core::CommandDefinition* CommandDefinitionsImpl::itemById_raw(const char* id) const
{
    checkAlive("itemById");
    if (session_.fault(faults::commandDefinitionsItemById, id)) {
        return nullptr;
    }
    CommandDefinitionImpl* definition = definitions_.find(id);
    return definition != nullptr ? definition->handOut() : nullptr;
}

} // namespace simhost
