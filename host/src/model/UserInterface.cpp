#include "UserInterface.h"

#include "HostOperations.h"

namespace simhost {

UserInterfaceImpl::UserInterfaceImpl(Services& services)
    : Counted(services, "UserInterface"), definitions_(services.make<CommandDefinitionsImpl>()),
      toolbars_(services.make<ToolbarsImpl>(definitions_)), palettes_(services.make<PalettesImpl>())
{
}

std::vector<std::string> UserInterfaceImpl::madeByAddin() const
{
    std::vector<std::string> made;
    const auto add = [&](const auto& items) {
        for (const Tracked* item : items) {
            if (item->madeByAddin()) {
                made.push_back(item->label());
            }
        }
    };
    add(definitions_.list().items());
    for (ToolbarImpl* toolbar : toolbars_.all()) {
        add(toolbar->controls().list().items());
    }
    add(palettes_.list().items());
    return made;
}

core::Toolbars* UserInterfaceImpl::toolbars_raw() const { return answer(operations::userInterfaceToolbars, toolbars_); }

core::CommandDefinitions* UserInterfaceImpl::commandDefinitions_raw() const
{
    return answer(operations::userInterfaceCommandDefinitions, definitions_);
}

core::Palettes* UserInterfaceImpl::palettes_raw() const { return answer(operations::userInterfacePalettes, palettes_); }

} // namespace simhost
