#include "UserInterface.h"

#include "../FaultPoints.h"

namespace simhost {

UserInterfaceImpl::UserInterfaceImpl(SessionState& session)
    : Counted(session, "UserInterface"), definitions_(session.make<CommandDefinitionsImpl>()),
      toolbars_(session.make<ToolbarsImpl>(definitions_)), palettes_(session.make<PalettesImpl>())
{
}

core::Toolbars* UserInterfaceImpl::toolbars_raw() const
{
    checkAlive("toolbars");
    return session_.fault(faults::userInterfaceToolbars) ? nullptr : toolbars_.handOut();
}

core::CommandDefinitions* UserInterfaceImpl::commandDefinitions_raw() const
{
    checkAlive("commandDefinitions");
    return session_.fault(faults::userInterfaceCommandDefinitions) ? nullptr : definitions_.handOut();
}

core::Palettes* UserInterfaceImpl::palettes_raw() const
{
    checkAlive("palettes");
    return session_.fault(faults::userInterfacePalettes) ? nullptr : palettes_.handOut();
}

} // namespace simhost
