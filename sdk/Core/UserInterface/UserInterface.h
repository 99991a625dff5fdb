// UserInterface: toolbars, command definitions and palettes of the running application.
#pragma once

#include "Palettes.h"
#include "Toolbars.h"

namespace adsk::core {

class UserInterface : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    Ptr<Toolbars> toolbars() const { return Ptr<Toolbars>(toolbars_raw()); }
    Ptr<CommandDefinitions> commandDefinitions() const { return Ptr<CommandDefinitions>(commandDefinitions_raw()); }
    Ptr<Palettes> palettes() const { return Ptr<Palettes>(palettes_raw()); }

private:
    // Host vtable slots of UserInterface (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual void* unused24() const; // 24
    virtual void* unused25() const; // 25
    virtual void* unused26() const; // 26
    virtual void* unused27() const; // 27
    virtual void* unused28() const; // 28
    virtual void* unused29() const; // 29
    virtual CommandDefinitions* commandDefinitions_raw() const = 0; // 30
    virtual Toolbars* toolbars_raw() const = 0; // 31
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
    virtual Palettes* palettes_raw() const = 0; // 47
    virtual void* unused48() const; // 48
    virtual void* unused49() const; // 49
    virtual void* unused50() const; // 50
    virtual void* unused51() const; // 51
    virtual void* unused52() const; // 52
    virtual void* unused53() const; // 53
    virtual void* unused54() const; // 54
    // clang-format on
    // End of the host vtable slots of UserInterface.
};

} // namespace adsk::core
