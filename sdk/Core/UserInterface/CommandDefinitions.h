// Command definitions: what a button runs. The host owns them until deleteMe().
#pragma once

#include "CommandEvents.h"

namespace adsk::core {

class CommandDefinition : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    // Fired each time the user runs the command: the host creates a Command from this definition
    // and hands it to the handlers in the event arguments.
    Ptr<CommandCreatedEvent> commandCreated() const { return Ptr<CommandCreatedEvent>(commandCreated_raw()); }
    bool deleteMe() { return deleteMe_raw(); }
    std::string id() const { return detail::takeHostText(id_raw()); }

private:
    // Host vtable slots of CommandDefinition (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual void* unused24() const; // 24
    virtual CommandCreatedEvent* commandCreated_raw() const = 0; // 25
    virtual bool deleteMe_raw() = 0; // 26
    virtual void* unused27() const; // 27
    virtual char* id_raw() const = 0; // 28
    virtual void* unused29() const; // 29
    virtual void* unused30() const; // 30
    virtual void* unused31() const; // 31
    virtual void* unused32() const; // 32
    virtual void* unused33() const; // 33
    virtual void* unused34() const; // 34
    virtual void* unused35() const; // 35
    virtual void* unused36() const; // 36
    virtual void* unused37() const; // 37
    // clang-format on
    // End of the host vtable slots of CommandDefinition.
};

class CommandDefinitions : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    // A button definition. Texts are UTF-8; resourceFolder is relative to the add-in's folder and
    // holds the button's images (16x16.png, 32x32.png, 64x64.png, optionally *-dark.png). An id
    // that is already defined: refused (empty Ptr) - an add-in deletes its definitions in stop.
    Ptr<CommandDefinition> addButtonDefinition(const std::string& id, const std::string& name,
                                               const std::string& tooltip, const std::string& resourceFolder = "")
    {
        return Ptr<CommandDefinition>(
            addButtonDefinition_raw(id.c_str(), name.c_str(), tooltip.c_str(), resourceFolder.c_str()));
    }
    // The definition with that id, or an empty Ptr.
    Ptr<CommandDefinition> itemById(const std::string& id) const
    {
        return Ptr<CommandDefinition>(itemById_raw(id.c_str()));
    }

private:
    // Host vtable slots of CommandDefinitions (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual CommandDefinition* addButtonDefinition_raw(const char* id, const char* name, const char* tooltip, const char* resourceFolder) = 0; // 24
    virtual void* unused25() const; // 25
    virtual void* unused26() const; // 26
    virtual void* unused27() const; // 27
    virtual CommandDefinition* itemById_raw(const char* id) const = 0; // 28
    virtual void* unused29() const; // 29
    // clang-format on
    // End of the host vtable slots of CommandDefinitions.
};

} // namespace adsk::core
