// One session of the simulated host: the actions a real host performs on one add-in library
// (load, run, stop, clicks, page messages, on-line reports, unload), each recorded in the trace.
// It owns the services its objects are given and, through them, the model. Throws UsageError for
// an action the host never takes (a stop before the run, a click on a button that is not there)
// and LoadError, which the C entry (Entry.cpp) turns into statuses.
#pragma once

#include "Services.h"

#include <simhost/Types.h>

#include <memory>
#include <string>
#include <vector>

namespace simhost {

class AddinLibrary;
class AppImpl;

class Host {
public:
    // Throws UsageError for refused options or when a session is running already.
    explicit Host(Options options);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // --- the actions ---------------------------------------------------------------------------
    void load(const std::string& library); // UTF-8; a relative path from the working folder
    // The entry points, as the host and its Scripts and Add-Ins dialog call them: run once per
    // load (a run after stop or unload loads the library anew, its static state fresh), its
    // context saying whether the host is starting; stop once after run, as the dialog's Stop
    // ({"IsApplicationClosing":false}), the library then unloaded. Other orders are usage errors
    // unless the options allow any order: then the calls reach the library loaded now, in the
    // order given (a stop leaves it loaded), and those the host would not make are marked
    // "outOfOrder". The result is traced, an escaping exception contained.
    bool run();
    bool stop();
    // What the host does when the user clicks a toolbar button of that command.
    void click(const std::string& commandId);
    // A page message, as adsk.fusionSendData(action, text) sends it, to the message event of the
    // shown palette with that id (none: the newest shown palette).
    void message(const std::string& paletteId, const std::string& action, const std::string& text);
    // The user closes that palette with its close button: it stays, hidden; its closed event fires.
    void close(const std::string& paletteId);
    // The user switches workspace: the host deletes the palettes.
    void switchWorkspace();
    // Fires the on-line status event (and sets the host's state).
    void setOnline(bool online);
    // The host ends the add-in, as when the host exits: a running add-in is stopped
    // ({"IsApplicationClosing":true}), the library unloaded (static objects destroyed), then what
    // it left is recorded. Nothing when it is unloaded already.
    void unload();
    // Frees the objects nothing can reach any more and clears the trace and journal.
    void compact();
    // Replaces the faults and restarts their call counts.
    void setFaults(const std::vector<std::string>& faults) { services_.faults.set(faults); }
    // A note of the host's own in the trace, after what the add-in did off the host's thread.
    void note(const std::string& text)
    {
        services_.settleForeignCalls();
        services_.recorder.trace("op", "note").add("text", text);
    }

    // --- what it shows and keeps ---------------------------------------------------------------
    [[nodiscard]] bool loaded() const { return library_ != nullptr; }
    [[nodiscard]] HostView view() const;
    [[nodiscard]] const std::string& libraryFolder() const { return libraryFolder_; }
    [[nodiscard]] const Recorder& record() const { return services_.recorder; }
    [[nodiscard]] const Registry& objects() const { return services_.objects; }
    [[nodiscard]] std::vector<std::string> faultsNeverFired() const { return services_.faults.neverFired(); }

private:
    // Stopped: only in any order, where a stop leaves the library loaded.
    enum class Stage { Loaded, Running, Stopped };
    // Records what the add-in did off the host's thread, then the action's own marker.
    TraceEntry& step(const char* action);
    bool callEntry(bool run, const std::string& given);
    void loadAgain();
    void end(bool stopFirst);
    bool unloadLibrary();
    void recordWhatWasLeft(const std::vector<std::string>& handlers);

    Services services_;
    AppImpl* app_ = nullptr;
    std::unique_ptr<AddinLibrary> library_;
    std::string libraryFolder_;
    std::string lastLibrary_; // the library loaded last: what run loads again after an unload
    Stage stage_ = Stage::Loaded;
    bool ran_ = false;
};

} // namespace simhost
