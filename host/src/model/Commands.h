// Command definitions, the commands the host makes from them when a button is clicked, and
// their events (sdk: Core/UserInterface/CommandDefinitions.h, CommandEvents.h).
#pragma once

#include "../Counted.h"
#include "../Events.h"
#include "../IdList.h"

#include <Core/CoreAll.h>

#include <string>

namespace simhost {

namespace core = adsk::core;

using CommandCreatedEventImpl =
    EventImpl<core::CommandCreatedEvent, core::CommandCreatedEventHandler, core::CommandCreatedEventArgs>;
using CommandEventImpl = EventImpl<core::CommandEvent, core::CommandEventHandler, core::CommandEventArgs>;

// The command's companion object; only its presence matters to add-ins here.
class CommandInputsImpl final : public Counted<core::CommandInputs> {
public:
    explicit CommandInputsImpl(Services& services) : Counted(services, "CommandInputs") {}
};

// A command made from a definition for one click.
class CommandImpl final : public Counted<core::Command> {
public:
    CommandImpl(Services& services, std::string definitionId);
    [[nodiscard]] CommandEventImpl& executeEvent() { return execute_; }

private:
    core::CommandInputs* commandInputs_raw() const override;
    core::CommandEvent* execute_raw() const override;

    std::string definitionId_;
    CommandInputsImpl& inputs_;
    CommandEventImpl& execute_;
};

class CommandCreatedEventArgsImpl final : public Counted<core::CommandCreatedEventArgs> {
public:
    CommandCreatedEventArgsImpl(Services& services, CommandImpl& command, std::string commandId)
        : Counted(services, "CommandCreatedEventArgs"), command_(command), commandId_(std::move(commandId))
    {
    }

private:
    core::Command* command_raw() const override;
    CommandImpl& command_;
    std::string commandId_;
};

class CommandEventArgsImpl final : public Counted<core::CommandEventArgs> {
public:
    CommandEventArgsImpl(Services& services, CommandImpl& command)
        : Counted(services, "CommandEventArgs"), command_(command)
    {
    }

private:
    core::Command* command_raw() const override { return answer(operations::commandEventArgsCommand, command_); }
    CommandImpl& command_;
};

// What a button definition shows: its name, tooltip and icon folder.
struct ButtonLook {
    std::string name;
    std::string tooltip;
    std::string resourceFolder;
};

class CommandDefinitionsImpl;

class CommandDefinitionImpl final : public Counted<core::CommandDefinition> {
public:
    CommandDefinitionImpl(Services& services, CommandDefinitionsImpl& container, std::string id, ButtonLook look);
    [[nodiscard]] const std::string& id() const { return id_; }
    [[nodiscard]] const ButtonLook& look() const { return look_; }
    [[nodiscard]] CommandCreatedEventImpl& createdEvent() { return created_; }

private:
    core::CommandCreatedEvent* commandCreated_raw() const override;
    bool deleteMe_raw() override;
    char* id_raw() const override;

    CommandDefinitionsImpl& container_;
    std::string id_;
    ButtonLook look_;
    CommandCreatedEventImpl& created_;
};

class CommandDefinitionsImpl final : public Counted<core::CommandDefinitions> {
public:
    explicit CommandDefinitionsImpl(Services& services) : Counted(services, "CommandDefinitions") {}
    [[nodiscard]] IdList<CommandDefinitionImpl>& list() { return definitions_; }
    [[nodiscard]] const IdList<CommandDefinitionImpl>& list() const { return definitions_; }

private:
    core::CommandDefinition* addButtonDefinition_raw(const char* id, const char* name, const char* tooltip,
                                                     const char* resourceFolder) override;
    core::CommandDefinition* itemById_raw(const char* id) const override;

    IdList<CommandDefinitionImpl> definitions_;
};

} // namespace simhost
