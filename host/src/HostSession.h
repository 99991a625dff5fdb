// One session of the simulated host, behind the C control API (CApi.cpp): it drives one add-in
// library through the actions a real host performs (load, run, stop, clicks, page messages,
// on-line reports, unload) and records every effect in the trace. Throws UsageError and
// LoadError, which the C API turns into status codes.
#pragma once

#include <simhost/Trace.h>
#include <simhost/Types.h>

#include <memory>
#include <string>
#include <vector>

namespace simhost {

class SessionState;

class HostSession {
public:
    // Every fault point, one per line of --list-faults. Per-command points are listed for this
    // project's commands; Options::faults accepts them with any command id.
    static const std::vector<std::string>& faultPoints();

    explicit HostSession(Options options);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Replaces the active fault points (validated like Options::faults) and restarts the call
    // counts that "WHAT@N" refers to.
    void setFaults(const std::vector<std::string>& faults);

    // Loads the add-in (its static objects are constructed). Throws LoadError.
    void load(const std::string& library); // UTF-8; a relative path from the working folder
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
    [[nodiscard]] std::string libraryFolder() const; // UTF-8
    // Adds a note of the host's own to the trace ({"op":"note","text":…}).
    void note(const std::string& text);
    // Handlers registered now on the event with that trace name (e.g. "onlineStatusChanged").
    [[nodiscard]] int handlerCount(const std::string& eventName) const;

private:
    std::unique_ptr<SessionState> state_;
};

} // namespace simhost
