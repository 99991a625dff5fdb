#include "UserInterface.h"

#include "HostOperations.h"

namespace simhost {

UserInterfaceImpl::UserInterfaceImpl(Services& services)
    : Counted(services, "UserInterface"), definitions_(services.make<CommandDefinitionsImpl>()),
      toolbars_(services.make<ToolbarsImpl>(definitions_)), palettes_(services.make<PalettesImpl>())
{
}

core::Toolbars* UserInterfaceImpl::toolbars_raw() const { return answer(operations::userInterfaceToolbars, toolbars_); }

core::CommandDefinitions* UserInterfaceImpl::commandDefinitions_raw() const
{
    return answer(operations::userInterfaceCommandDefinitions, definitions_);
}

core::Palettes* UserInterfaceImpl::palettes_raw() const { return answer(operations::userInterfacePalettes, palettes_); }

} // namespace simhost
