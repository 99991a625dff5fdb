// Commands and their two events: command-created (on a definition) and execute (on a command).
#pragma once

#include "../Event.h"
#include "../EventHandler.h"

namespace adsk::core {

class Command;

// The command's inputs: the add-in only tests whether the host supplies them.
class CommandInputs : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }

private:
    // Host vtable slots of CommandInputs (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual void* unused24() const; // 24
    virtual void* unused25() const; // 25
    virtual void* unused26() const; // 26
    virtual void* unused27() const; // 27
    virtual void* unused28() const; // 28
    virtual void* unused29() const; // 29
    virtual void* unused30() const; // 30
    virtual void* unused31() const; // 31
    virtual void* unused32() const; // 32
    virtual void* unused33() const; // 33
    virtual void* unused34() const; // 34
    virtual void* unused35() const; // 35
    virtual void* unused36() const; // 36
    virtual void* unused37() const; // 37
    virtual void* unused38() const; // 38
    virtual void* unused39() const; // 39
    virtual void* unused40() const; // 40
    virtual void* unused41() const; // 41
    virtual void* unused42() const; // 42
    virtual void* unused43() const; // 43
    virtual void* unused44() const; // 44
    virtual void* unused45() const; // 45
    virtual void* unused46() const; // 46
    virtual void* unused47() const; // 47
    virtual void* unused48() const; // 48
    virtual void* unused49() const; // 49
    virtual void* unused50() const; // 50
    // clang-format on
    // End of the host vtable slots of CommandInputs.
};

class CommandEventArgs : public EventArgs {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    Ptr<Command> command() const;

private:
    // Host vtable slots of CommandEventArgs (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual Command* command_raw() const = 0; // 56
    virtual void* unused57() const; // 57
    virtual void* unused58() const; // 58
    virtual void* unused59() const; // 59
    virtual void* unused60() const; // 60
    virtual void* unused61() const; // 61
    virtual void* unused62() const; // 62
    virtual void* unused63() const; // 63
    // clang-format on
    // End of the host vtable slots of CommandEventArgs.
};

// The notification is called on the host's user-interface thread; eventArgs stay the host's.
class CommandEventHandler : public EventHandler {
    // Host vtable slots of CommandEventHandler (written from sdk/abi/HostVtables.txt).
    // clang-format off
public:
    virtual void notify(const Ptr<CommandEventArgs>& eventArgs) = 0; // 17
private:
    // clang-format on
    // End of the host vtable slots of CommandEventHandler.
};

class CommandEvent : public Event {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    bool add(CommandEventHandler* handler) { return add_raw(handler); }
    bool remove(CommandEventHandler* handler) { return remove_raw(handler); }

private:
    // Host vtable slots of CommandEvent (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual bool add_raw(CommandEventHandler* handler) = 0; // 56
    virtual bool remove_raw(CommandEventHandler* handler) = 0; // 57
    // clang-format on
    // End of the host vtable slots of CommandEvent.
};

class Command : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    Ptr<CommandInputs> commandInputs() const { return Ptr<CommandInputs>(commandInputs_raw()); }
    // The event fired when the user runs the command (an event, not an action).
    Ptr<CommandEvent> execute() const { return Ptr<CommandEvent>(execute_raw()); }

private:
    // Host vtable slots of Command (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual void* unused24() const; // 24
    virtual void* unused25() const; // 25
    virtual void* unused26() const; // 26
    virtual void* unused27() const; // 27
    virtual CommandEvent* execute_raw() const = 0; // 28
    virtual void* unused29() const; // 29
    virtual CommandInputs* commandInputs_raw() const = 0; // 30
    virtual void* unused31() const; // 31
    virtual void* unused32() const; // 32
    virtual void* unused33() const; // 33
    virtual void* unused34() const; // 34
    virtual void* unused35() const; // 35
    virtual void* unused36() const; // 36
    virtual void* unused37() const; // 37
    virtual void* unused38() const; // 38
    virtual void* unused39() const; // 39
    virtual void* unused40() const; // 40
    virtual void* unused41() const; // 41
    virtual void* unused42() const; // 42
    virtual void* unused43() const; // 43
    virtual void* unused44() const; // 44
    virtual void* unused45() const; // 45
    virtual void* unused46() const; // 46
    virtual void* unused47() const; // 47
    virtual void* unused48() const; // 48
    virtual void* unused49() const; // 49
    virtual void* unused50() const; // 50
    virtual void* unused51() const; // 51
    virtual void* unused52() const; // 52
    virtual void* unused53() const; // 53
    virtual void* unused54() const; // 54
    virtual void* unused55() const; // 55
    virtual void* unused56() const; // 56
    virtual void* unused57() const; // 57
    virtual void* unused58() const; // 58
    virtual void* unused59() const; // 59
    virtual void* unused60() const; // 60
    virtual void* unused61() const; // 61
    virtual void* unused62() const; // 62
    virtual void* unused63() const; // 63
    virtual void* unused64() const; // 64
    virtual void* unused65() const; // 65
    virtual void* unused66() const; // 66
    virtual void* unused67() const; // 67
    virtual void* unused68() const; // 68
    virtual void* unused69() const; // 69
    virtual void* unused70() const; // 70
    virtual void* unused71() const; // 71
    virtual void* unused72() const; // 72
    virtual void* unused73() const; // 73
    virtual void* unused74() const; // 74
    virtual void* unused75() const; // 75
    virtual void* unused76() const; // 76
    virtual void* unused77() const; // 77
    // clang-format on
    // End of the host vtable slots of Command.
};

inline Ptr<Command> CommandEventArgs::command() const { return Ptr<Command>(command_raw()); }

class CommandCreatedEventArgs : public EventArgs {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    Ptr<Command> command() const { return Ptr<Command>(command_raw()); }

private:
    // Host vtable slots of CommandCreatedEventArgs (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual Command* command_raw() const = 0; // 56
    // clang-format on
    // End of the host vtable slots of CommandCreatedEventArgs.
};

// The notification is called on the host's user-interface thread; eventArgs stay the host's.
class CommandCreatedEventHandler : public EventHandler {
    // Host vtable slots of CommandCreatedEventHandler (written from sdk/abi/HostVtables.txt).
    // clang-format off
public:
    virtual void notify(const Ptr<CommandCreatedEventArgs>& eventArgs) = 0; // 17
private:
    // clang-format on
    // End of the host vtable slots of CommandCreatedEventHandler.
};

class CommandCreatedEvent : public Event {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    bool add(CommandCreatedEventHandler* handler) { return add_raw(handler); }
    bool remove(CommandCreatedEventHandler* handler) { return remove_raw(handler); }

private:
    // Host vtable slots of CommandCreatedEvent (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual bool add_raw(CommandCreatedEventHandler* handler) = 0; // 56
    virtual bool remove_raw(CommandCreatedEventHandler* handler) = 0; // 57
    // clang-format on
    // End of the host vtable slots of CommandCreatedEvent.
};

} // namespace adsk::core
