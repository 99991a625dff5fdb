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
    // The entry points; the result is traced, an escaping exception is contained and traced.
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
    bool unloadLibrary();

    Services services_;
    AppImpl* app_ = nullptr;
    std::unique_ptr<AddinLibrary> library_;
    std::string libraryFolder_;
    bool unloaded_ = false;
};

} // namespace simhost
