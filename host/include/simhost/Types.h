// The plain types of the simulated host's control API, shared by the host and its C++ wrapper.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace simhost {

struct Options {
    int language = 3;                       // host UI language (2 is Czech)
    std::optional<std::string> entitlement; // result of "Debug.EntitlementString"; none by default
    bool offline = false;                   // host state when the add-in starts
    std::vector<std::string> faults;        // fault points that yield none / refuse; "WHAT@N" only the Nth call
    bool fromDialog = false;                // the first run is the dialog's, not the host's start-up
    // run and stop in orders the host never makes (stop before run, either twice): they reach the
    // library loaded now (a stop leaves it loaded) and are traced as "outOfOrder"
    bool anyOrder = false;
};

// A usage error: unknown fault point, second session, action in the wrong state.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The add-in library could not be loaded or lacks an entry point.
class LoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the host shows and keeps at one moment: the "QATRight" toolbar's controls in order, the
// palettes that exist, the command definitions, and the handlers of each event.
struct ToolbarControlView {
    std::string id;
    bool ownedByHost = false; // the host's own control (an anchor), not one an add-in placed
    std::string name;         // from the command definition, as the host received it (UTF-8)
    std::string tooltip;
    std::string resourceFolder; // relative to the add-in's folder
};

struct PaletteView {
    std::string id;
    std::string name;
    std::string url;
    bool visible = false;
    int dockingState = 0;
    int width = 0;
    int height = 0;
    int messageHandlers = 0; // on its page-message event
};

struct DefinitionView {
    std::string id;
    std::string name;
    std::string tooltip;
    std::string resourceFolder;
    int createdHandlers = 0; // on its command-created event
};

struct HostView {
    std::vector<ToolbarControlView> toolbar;
    std::vector<PaletteView> palettes;
    std::vector<DefinitionView> definitions;
    int onlineStatusHandlers = 0; // on the application's on-line status event

    // The palette or definition with that id, or null.
    [[nodiscard]] const PaletteView* palette(std::string_view id) const { return find(palettes, id); }
    [[nodiscard]] const DefinitionView* definition(std::string_view id) const { return find(definitions, id); }

private:
    template <class Item> static const Item* find(const std::vector<Item>& items, std::string_view id)
    {
        for (const Item& item : items) {
            if (item.id == id) {
                return &item;
            }
        }
        return nullptr;
    }
};

} // namespace simhost
