// Toolbars and their controls. A control placed from a command definition is a CommandControl.
// The host owns toolbars and controls; a control an add-in placed stays until its deleteMe().
#pragma once

#include "CommandDefinitions.h"

namespace adsk::core {

class ToolbarControl : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    bool deleteMe() { return deleteMe_raw(); }
    std::string id() const { return detail::takeHostText(id_raw()); }

private:
    // Host vtable slots of ToolbarControl (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual char* id_raw() const = 0; // 24
    virtual void* unused25() const; // 25
    virtual void* unused26() const; // 26
    virtual void* unused27() const; // 27
    virtual void* unused28() const; // 28
    virtual bool deleteMe_raw() = 0; // 29
    virtual void placeholderToolbarControl0(); // 30
    virtual void placeholderToolbarControl1(); // 31
    virtual void placeholderToolbarControl2(); // 32
    virtual void placeholderToolbarControl3(); // 33
    virtual void placeholderToolbarControl4(); // 34
    virtual void placeholderToolbarControl5(); // 35
    virtual void placeholderToolbarControl6(); // 36
    virtual void placeholderToolbarControl7(); // 37
    virtual void placeholderToolbarControl8(); // 38
    virtual void placeholderToolbarControl9(); // 39
    virtual void placeholderToolbarControl10(); // 40
    virtual void placeholderToolbarControl11(); // 41
    virtual void placeholderToolbarControl12(); // 42
    virtual void placeholderToolbarControl13(); // 43
    virtual void placeholderToolbarControl14(); // 44
    virtual void placeholderToolbarControl15(); // 45
    virtual void placeholderToolbarControl16(); // 46
    virtual void placeholderToolbarControl17(); // 47
    virtual void placeholderToolbarControl18(); // 48
    virtual void placeholderToolbarControl19(); // 49
    virtual void placeholderToolbarControl20(); // 50
    virtual void placeholderToolbarControl21(); // 51
    virtual void placeholderToolbarControl22(); // 52
    virtual void placeholderToolbarControl23(); // 53
    virtual void placeholderToolbarControl24(); // 54
    virtual void placeholderToolbarControl25(); // 55
    virtual void placeholderToolbarControl26(); // 56
    virtual void placeholderToolbarControl27(); // 57
    virtual void placeholderToolbarControl28(); // 58
    virtual void placeholderToolbarControl29(); // 59
    virtual void placeholderToolbarControl30(); // 60
    virtual void placeholderToolbarControl31(); // 61
    virtual void placeholderToolbarControl32(); // 62
    virtual void placeholderToolbarControl33(); // 63
    virtual void placeholderToolbarControl34(); // 64
    virtual void placeholderToolbarControl35(); // 65
    virtual void placeholderToolbarControl36(); // 66
    virtual void placeholderToolbarControl37(); // 67
    virtual void placeholderToolbarControl38(); // 68
    virtual void placeholderToolbarControl39(); // 69
    virtual void placeholderToolbarControl40(); // 70
    virtual void placeholderToolbarControl41(); // 71
    virtual void placeholderToolbarControl42(); // 72
    virtual void placeholderToolbarControl43(); // 73
    virtual void placeholderToolbarControl44(); // 74
    virtual void placeholderToolbarControl45(); // 75
    virtual void placeholderToolbarControl46(); // 76
    virtual void placeholderToolbarControl47(); // 77
    virtual void placeholderToolbarControl48(); // 78
    virtual void placeholderToolbarControl49(); // 79
    virtual void placeholderToolbarControl50(); // 80
    virtual void placeholderToolbarControl51(); // 81
    virtual void placeholderToolbarControl52(); // 82
    virtual void placeholderToolbarControl53(); // 83
    virtual void placeholderToolbarControl54(); // 84
    virtual void placeholderToolbarControl55(); // 85
    virtual void placeholderToolbarControl56(); // 86
    virtual void placeholderToolbarControl57(); // 87
    // clang-format on
    // End of the host vtable slots of ToolbarControl.
};

class CommandControl : public ToolbarControl {
public:
    // Exported by the host library: the id that queryInterface answers for command controls. An
    // optimised add-in imports classType (interfaceId inlined), an unoptimised one interfaceId.
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    Ptr<CommandDefinition> commandDefinition() const { return Ptr<CommandDefinition>(commandDefinition_raw()); }

private:
    // Host vtable slots of CommandControl (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual CommandDefinition* commandDefinition_raw() const = 0; // 88
    virtual void* unused89() const; // 89
    virtual void* unused90() const; // 90
    virtual void* unused91() const; // 91
    virtual void* unused92() const; // 92
    // clang-format on
    // End of the host vtable slots of CommandControl.
};

class ToolbarControls : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    // Places a control for commandDefinition (a live definition) before the control positionID, or
    // after it when isBefore is false; a positionID that names no control places it at the end.
    // A control with the definition's id already in this toolbar: refused (empty Ptr).
    Ptr<CommandControl> addCommand(const Ptr<CommandDefinition>& commandDefinition, const std::string& positionID = "",
                                   bool isBefore = true)
    {
        return Ptr<CommandControl>(addCommand_raw(commandDefinition.get(), positionID.c_str(), isBefore));
    }
    // The control with that id (the host's own or a placed one), or an empty Ptr. View it as a
    // CommandControl with cast<CommandControl>(); a control of another kind gives an empty Ptr.
    Ptr<ToolbarControl> itemById(const std::string& id) const { return Ptr<ToolbarControl>(itemById_raw(id.c_str())); }

private:
    // Host vtable slots of ToolbarControls (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual void* unused24() const; // 24
    virtual void* unused25() const; // 25
    virtual ToolbarControl* itemById_raw(const char* id) const = 0; // 26
    virtual CommandControl* addCommand_raw(CommandDefinition* commandDefinition, const char* positionID, bool isBefore) = 0; // 27
    virtual void* unused28() const; // 28
    virtual void* unused29() const; // 29
    virtual void* unused30() const; // 30
    // clang-format on
    // End of the host vtable slots of ToolbarControls.
};

class Toolbar : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    Ptr<ToolbarControls> controls() const { return Ptr<ToolbarControls>(controls_raw()); }
    std::string id() const { return detail::takeHostText(id_raw()); }

private:
    // Host vtable slots of Toolbar (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual char* id_raw() const = 0; // 24
    virtual void* unused25() const; // 25
    virtual ToolbarControls* controls_raw() const = 0; // 26
    // clang-format on
    // End of the host vtable slots of Toolbar.
};

class Toolbars : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    // The toolbar with that id, or an empty Ptr.
    Ptr<Toolbar> itemById(const std::string& id) const { return Ptr<Toolbar>(itemById_raw(id.c_str())); }

private:
    // Host vtable slots of Toolbars (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual void* unused24() const; // 24
    virtual Toolbar* itemById_raw(const char* id) const = 0; // 25
    virtual void* unused26() const; // 26
    // clang-format on
    // End of the host vtable slots of Toolbars.
};

} // namespace adsk::core
