// Toolbars and their controls. A control placed from a command definition is a CommandControl.
// The host owns toolbars and controls; a control an add-in placed stays until its deleteMe().
#pragma once

#include "CommandDefinitions.h"

namespace adsk::core {

class ToolbarControl : public Base {
public:
    static const char* classType() { return "adsk::core::ToolbarControl"; }
    static const char* interfaceId() { return classType(); }
    bool deleteMe() { return deleteMe_raw(); }
    std::string id() const { return detail::takeHostText(id_raw()); }

private:
    virtual bool deleteMe_raw() = 0;
    virtual char* id_raw() const = 0;
};

class CommandControl : public ToolbarControl {
public:
    static const char* classType() { return "adsk::core::CommandControl"; }
    // Exported by the host library: the id that queryInterface answers for command controls.
    XI_CORE_API static const char* interfaceId();
    Ptr<CommandDefinition> commandDefinition() const { return Ptr<CommandDefinition>(commandDefinition_raw()); }

private:
    virtual CommandDefinition* commandDefinition_raw() const = 0;
};

class ToolbarControls : public Base {
public:
    static const char* classType() { return "adsk::core::ToolbarControls"; }
    static const char* interfaceId() { return classType(); }
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
    virtual CommandControl* addCommand_raw(CommandDefinition* commandDefinition, const char* positionID,
                                           bool isBefore) = 0;
    virtual ToolbarControl* itemById_raw(const char* id) const = 0;
};

class Toolbar : public Base {
public:
    static const char* classType() { return "adsk::core::Toolbar"; }
    static const char* interfaceId() { return classType(); }
    Ptr<ToolbarControls> controls() const { return Ptr<ToolbarControls>(controls_raw()); }
    std::string id() const { return detail::takeHostText(id_raw()); }

private:
    virtual ToolbarControls* controls_raw() const = 0;
    virtual char* id_raw() const = 0;
};

class Toolbars : public Base {
public:
    static const char* classType() { return "adsk::core::Toolbars"; }
    static const char* interfaceId() { return classType(); }
    // The toolbar with that id, or an empty Ptr.
    Ptr<Toolbar> itemById(const std::string& id) const { return Ptr<Toolbar>(itemById_raw(id.c_str())); }

private:
    virtual Toolbar* itemById_raw(const char* id) const = 0;
};

} // namespace adsk::core
