// Control API of the simulated host: one session drives one add-in library through the actions
// a real host performs (load, run, stop, clicks, page messages, on-line reports, unload) and
// records every effect in the trace.
//
// Threading: like the real host, a session calls the add-in from one thread only.
// Only one Session exists at a time; the add-in reaches it through Application::get_raw.
#pragma once

#include "Trace.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#if defined(_WIN32)
#if defined(XI_CORE_BUILD)
#define SIMHOST_API __declspec(dllexport)
#else
#define SIMHOST_API __declspec(dllimport)
#endif
#else
#define SIMHOST_API __attribute__((visibility("default")))
#endif

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

class SessionState;

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

class SIMHOST_API Session {
public:
    // Every fault point, one per line of --list-faults. Per-command points are listed for this
    // project's commands; Options::faults accepts them with any command id.
    static const std::vector<std::string>& faultPoints();

    explicit Session(Options options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Replaces the active fault points (validated like Options::faults) and restarts the call
    // counts that "WHAT@N" refers to.
    void setFaults(const std::vector<std::string>& faults);

    // Loads the add-in (its static objects are constructed). Throws LoadError.
    void load(const std::filesystem::path& library);
    // Entry points; the result is traced, an escaping exception is contained and traced.
    bool run();
    bool stop();
    // What the host does when the user clicks a toolbar button.
    void click(const std::string& commandId);
    // A message from the learning page to the message event of the palette the add-in created.
    void message(const std::string& text);
    // The user closes that palette with its close button: it stays, hidden.
    void close(const std::string& paletteId);
    // Fires the on-line status event (and sets the host's state).
    void setOnline(bool online);
    // Unloads the library (static objects destroyed), then traces the reference balance.
    void unload();
    [[nodiscard]] bool loaded() const;

    // Frees the host objects nothing can reach any more (deleted, or made for one action that is
    // over, with no reference left) and clears the trace and journal, so that long runs measure
    // the add-in rather than the simulated host's history.
    void compact();
    [[nodiscard]] std::size_t hostObjectCount() const;

    [[nodiscard]] const std::vector<TraceEntry>& trace() const;
    // References the add-in holds now, and a label for each object concerned.
    [[nodiscard]] int outstandingReferences() const;
    [[nodiscard]] std::vector<std::string> heldObjects() const;
    // The faults asked for (Options::faults, setFaults) that have not taken effect so far.
    [[nodiscard]] std::vector<std::string> faultsNeverFired() const;
    // Contract violations seen so far (also in the trace as "violation" entries).
    [[nodiscard]] std::vector<std::string> violations() const;
    // Low-level lifecycle log (handler construction/destruction, releases) for ordering checks.
    [[nodiscard]] const std::vector<std::string>& journal() const;

    // Object-model queries for tests.
    [[nodiscard]] bool paletteExists(const std::string& id) const;
    [[nodiscard]] bool paletteVisible(const std::string& id) const;
    [[nodiscard]] bool definitionExists(const std::string& id) const;
    [[nodiscard]] std::vector<std::string> toolbarControlIds() const;
    // What the host shows now.
    [[nodiscard]] HostView view() const;
    // The folder of the add-in library loaded last (icon folders are relative to it).
    [[nodiscard]] std::filesystem::path libraryFolder() const;
    // Adds a note of the host's own to the trace ({"op":"note","text":…}).
    void note(const std::string& text);
    // Handlers registered now on the event with that trace name (e.g. "onlineStatusChanged").
    [[nodiscard]] int handlerCount(const std::string& eventName) const;

private:
    std::unique_ptr<SessionState> state_;
};

} // namespace simhost
