// The toolbars the host gives add-ins: the quick-access toolbars "QAT" and "QATRight" (this one
// with the host's own anchor controls) and the navigation bar "NavToolbar", and the command
// controls add-ins place in them (sdk: Core/UserInterface/Toolbars.h).
#pragma once

#include "Commands.h"

#include <string>
#include <vector>

namespace simhost {

class ToolbarControlsImpl;

class CommandControlImpl final : public Counted<core::CommandControl> {
public:
    // definitionId is empty for the host's own controls.
    CommandControlImpl(Services& services, ToolbarControlsImpl& container, const CommandDefinitionsImpl& definitions,
                       std::string id, std::string definitionId);
    [[nodiscard]] const std::string& id() const { return id_; }
    [[nodiscard]] const std::string& definitionId() const { return definitionId_; }

protected:
    void* queryInterface(const char* id) const override;

private:
    bool deleteMe_raw() override;
    char* id_raw() const override;
    core::CommandDefinition* commandDefinition_raw() const override;

    ToolbarControlsImpl& container_;
    const CommandDefinitionsImpl& definitions_;
    std::string id_;
    std::string definitionId_;
};

class ToolbarControlsImpl final : public Counted<core::ToolbarControls> {
public:
    // The controls of the toolbar of that id, with the host's own ones (anchors) in it.
    ToolbarControlsImpl(Services& services, const CommandDefinitionsImpl& definitions, std::string toolbarId,
                        const std::vector<const char*>& anchors);
    [[nodiscard]] IdList<CommandControlImpl>& list() { return controls_; }
    [[nodiscard]] const IdList<CommandControlImpl>& list() const { return controls_; }

private:
    core::CommandControl* addCommand_raw(core::CommandDefinition* definition, const char* positionID,
                                         bool isBefore) override;
    core::ToolbarControl* itemById_raw(const char* id) const override;

    const CommandDefinitionsImpl& definitions_;
    std::string toolbarId_;
    IdList<CommandControlImpl> controls_;
};

class ToolbarImpl final : public Counted<core::Toolbar> {
public:
    ToolbarImpl(Services& services, const CommandDefinitionsImpl& definitions, std::string id,
                const std::vector<const char*>& anchors);
    [[nodiscard]] ToolbarControlsImpl& controls() { return controls_; }
    [[nodiscard]] const std::string& id() const { return id_; }

private:
    core::ToolbarControls* controls_raw() const override;
    char* id_raw() const override;

    std::string id_;
    ToolbarControlsImpl& controls_;
};

class ToolbarsImpl final : public Counted<core::Toolbars> {
public:
    ToolbarsImpl(Services& services, const CommandDefinitionsImpl& definitions);
    [[nodiscard]] ToolbarImpl& quickAccessRight() { return *toolbars_[1]; }
    [[nodiscard]] const std::vector<ToolbarImpl*>& all() const { return toolbars_; }
    // Whether a toolbar holds a control of the command definition with that id: a button to click.
    [[nodiscard]] bool hasButton(const std::string& definitionId) const;

private:
    core::Toolbar* itemById_raw(const char* id) const override;
    std::vector<ToolbarImpl*> toolbars_; // QAT, QATRight, NavToolbar
};

} // namespace simhost
