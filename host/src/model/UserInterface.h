// The user interface: its toolbars, command definitions and palettes
// (sdk: Core/UserInterface/UserInterface.h).
#pragma once

#include "Commands.h"
#include "Palettes.h"
#include "Toolbars.h"

namespace simhost {

class UserInterfaceImpl final : public Counted<core::UserInterface> {
public:
    explicit UserInterfaceImpl(Services& services);
    ToolbarsImpl& toolbars() { return toolbars_; }
    CommandDefinitionsImpl& definitions() { return definitions_; }
    PalettesImpl& palettes() { return palettes_; }
    // A label for each object the add-in made that the host still shows: definitions, controls
    // in a toolbar, palettes.
    [[nodiscard]] std::vector<std::string> madeByAddin() const;

private:
    core::Toolbars* toolbars_raw() const override;
    core::CommandDefinitions* commandDefinitions_raw() const override;
    core::Palettes* palettes_raw() const override;

    CommandDefinitionsImpl& definitions_; // before the toolbars, whose controls look definitions up
    ToolbarsImpl& toolbars_;
    PalettesImpl& palettes_;
};

} // namespace simhost
