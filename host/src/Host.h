// One session of the simulated host: the actions a real host performs on one add-in library
// (load, run, stop, clicks, page messages, on-line reports, unload), each recorded in the trace.
// It owns the services its objects are given and, through them, the model. Throws UsageError and
// LoadError, which the C entry (Entry.cpp) turns into statuses.
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
    // The entry points, as the host and its Scripts and Add-Ins dialog call them: run after stop
    // loads the library anew (its static state fresh), as does run after unload; run's context
    // says whether the host is starting. The result is traced, an escaping exception contained.
    bool run();
    bool stop();
    // What the host does when the user clicks a toolbar button.
    void click(const std::string& commandId);
    // A page message, as adsk.fusionSendData(action, text) sends it, to the message event of the
    // shown palette with that id (none: the one the add-in created last).
    void message(const std::string& paletteId, const std::string& action, const std::string& text);
    // The user closes that palette with its close button: it stays, hidden; its closed event fires.
    void close(const std::string& paletteId);
    // The user switches workspace: the host deletes the palettes.
    void switchWorkspace();
    // Fires the on-line status event (and sets the host's state).
    void setOnline(bool online);
    // Stops a running add-in, unloads the library (static objects destroyed), then traces the
    // reference balance.
    void unload();
    // Frees the objects nothing can reach any more and clears the trace and journal.
    void compact();
    // Replaces the faults and restarts their call counts.
    void setFaults(const std::vector<std::string>& faults) { services_.faults.set(faults); }
    // A note of the host's own in the trace.
    void note(const std::string& text) { services_.recorder.trace("op", "note").add("text", text); }

    // --- what it shows and keeps ---------------------------------------------------------------
    [[nodiscard]] bool loaded() const { return library_ != nullptr; }
    [[nodiscard]] HostView view() const;
    [[nodiscard]] const std::string& libraryFolder() const { return libraryFolder_; }
    [[nodiscard]] const Recorder& record() const { return services_.recorder; }
    [[nodiscard]] const Registry& objects() const { return services_.objects; }
    [[nodiscard]] std::vector<std::string> faultsNeverFired() const { return services_.faults.neverFired(); }

private:
    enum class Stage { Loaded, Running, Stopped };
    bool unloadLibrary();
    void release();
    bool stopLibrary();

    Services services_;
    AppImpl* app_ = nullptr;
    std::unique_ptr<AddinLibrary> library_;
    std::string libraryFolder_;
    std::string lastLibrary_; // the library loaded last: what run loads again after an unload
    Stage stage_ = Stage::Loaded;
    bool ran_ = false;
};

} // namespace simhost
