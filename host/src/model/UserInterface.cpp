#include "UserInterface.h"

#include "HostOperations.h"

namespace simhost {

UserInterfaceImpl::UserInterfaceImpl(Host& host)
    : Counted(host, "UserInterface"), definitions_(host.make<CommandDefinitionsImpl>()),
      toolbars_(host.make<ToolbarsImpl>(definitions_)), palettes_(host.make<PalettesImpl>())
{
}

core::Toolbars* UserInterfaceImpl::toolbars_raw() const { return answer(operations::userInterfaceToolbars, toolbars_); }

core::CommandDefinitions* UserInterfaceImpl::commandDefinitions_raw() const
{
    return answer(operations::userInterfaceCommandDefinitions, definitions_);
}

core::Palettes* UserInterfaceImpl::palettes_raw() const { return answer(operations::userInterfacePalettes, palettes_); }

} // namespace simhost
