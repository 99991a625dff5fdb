// Commands and their two events: command-created (on a definition) and execute (on a command).
#pragma once

#include "../Event.h"
#include "../EventHandler.h"

namespace adsk::core {

class Command;

// The command's inputs: the add-in only tests whether the host supplies them.
class CommandInputs : public Base {
public:
    static const char* classType() { return "adsk::core::CommandInputs"; }
    static const char* interfaceId() { return classType(); }
};

class CommandEventArgs : public EventArgs {
public:
    static const char* classType() { return "adsk::core::CommandEventArgs"; }
    static const char* interfaceId() { return classType(); }
    Ptr<Command> command() const;

private:
    virtual Command* command_raw() const = 0;
};

class CommandEventHandler : public EventHandler {
public:
    virtual void notify(const Ptr<CommandEventArgs>& eventArgs) = 0;
};

class CommandEvent : public Event {
public:
    static const char* classType() { return "adsk::core::CommandEvent"; }
    static const char* interfaceId() { return classType(); }
    bool add(CommandEventHandler* handler) { return add_raw(handler); }
    bool remove(CommandEventHandler* handler) { return remove_raw(handler); }

private:
    virtual bool add_raw(CommandEventHandler* handler) = 0;
    virtual bool remove_raw(CommandEventHandler* handler) = 0;
};

class Command : public Base {
public:
    static const char* classType() { return "adsk::core::Command"; }
    static const char* interfaceId() { return classType(); }
    Ptr<CommandInputs> commandInputs() const { return Ptr<CommandInputs>(commandInputs_raw()); }
    // The event fired when the user runs the command (an event, not an action).
    Ptr<CommandEvent> execute() const { return Ptr<CommandEvent>(execute_raw()); }

private:
    virtual CommandInputs* commandInputs_raw() const = 0;
    virtual CommandEvent* execute_raw() const = 0;
};

inline Ptr<Command> CommandEventArgs::command() const { return Ptr<Command>(command_raw()); }

class CommandCreatedEventArgs : public EventArgs {
public:
    static const char* classType() { return "adsk::core::CommandCreatedEventArgs"; }
    static const char* interfaceId() { return classType(); }
    Ptr<Command> command() const { return Ptr<Command>(command_raw()); }

private:
    virtual Command* command_raw() const = 0;
};

class CommandCreatedEventHandler : public EventHandler {
public:
    virtual void notify(const Ptr<CommandCreatedEventArgs>& eventArgs) = 0;
};

class CommandCreatedEvent : public Event {
public:
    static const char* classType() { return "adsk::core::CommandCreatedEvent"; }
    static const char* interfaceId() { return classType(); }
    bool add(CommandCreatedEventHandler* handler) { return add_raw(handler); }
    bool remove(CommandCreatedEventHandler* handler) { return remove_raw(handler); }

private:
    virtual bool add_raw(CommandCreatedEventHandler* handler) = 0;
    virtual bool remove_raw(CommandCreatedEventHandler* handler) = 0;
};

} // namespace adsk::core
