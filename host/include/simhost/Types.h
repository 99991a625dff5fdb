// The plain types of the simulated host's control API, shared by the host and its C++ wrapper.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace simhost {

struct Options {
    int language = 3;                       // host UI language (2 is Czech)
    std::optional<std::string> entitlement; // result of "Debug.EntitlementString"; none by default
    bool offline = false;                   // host state when the add-in starts
    std::vector<std::string> faults;        // fault points that yield none / refuse; "WHAT@N" only the Nth call
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

// What the host shows at one moment, for pictures: the "QATRight" toolbar's controls in order and
// the palettes that exist.
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
};

struct HostView {
    std::vector<ToolbarControlView> toolbar;
    std::vector<PaletteView> palettes;
};

} // namespace simhost
