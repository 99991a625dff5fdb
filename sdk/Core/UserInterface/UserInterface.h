// UserInterface: toolbars, command definitions and palettes of the running application.
#pragma once

#include "Palettes.h"
#include "Toolbars.h"

namespace adsk::core {

class UserInterface : public Base {
public:
    static const char* classType() { return "adsk::core::UserInterface"; }
    static const char* interfaceId() { return classType(); }
    Ptr<Toolbars> toolbars() const { return Ptr<Toolbars>(toolbars_raw()); }
    Ptr<CommandDefinitions> commandDefinitions() const { return Ptr<CommandDefinitions>(commandDefinitions_raw()); }
    Ptr<Palettes> palettes() const { return Ptr<Palettes>(palettes_raw()); }

private:
    virtual Toolbars* toolbars_raw() const = 0;
    virtual CommandDefinitions* commandDefinitions_raw() const = 0;
    virtual Palettes* palettes_raw() const = 0;
};

} // namespace adsk::core
