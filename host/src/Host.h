// One session of the simulated host: the actions a real host performs on one add-in library
// (load, run, stop, clicks, page messages, on-line reports, unload), each recorded in the trace,
// and the parts the host's objects reach it through: what it records, the faults it injects,
// the objects it keeps and the events' handlers. Throws UsageError and LoadError, which the C
// entry (Entry.cpp) turns into statuses.
#pragma once

#include "Connections.h"
#include "FaultPlan.h"
#include "Recorder.h"
#include "Registry.h"

#include <simhost/Types.h>

#include <functional>
#include <memory>
#include <string>

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

    // The session the add-in reaches through Application::get_raw, or null.
    static Host* current();

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
    [[nodiscard]] bool loaded() const { return library_ != nullptr; }
    // Frees the objects nothing can reach any more and clears the trace and journal.
    void compact();
    // What the host shows and keeps now.
    [[nodiscard]] HostView view() const;
    [[nodiscard]] const std::string& libraryFolder() const { return libraryFolder_; }

    // --- for the host's objects ----------------------------------------------------------------
    [[nodiscard]] const Options& options() const { return options_; }
    [[nodiscard]] bool offline() const { return offline_; }
    [[nodiscard]] AppImpl& app() const { return *app_; }
    // True while the add-in's static objects are being destroyed.
    [[nodiscard]] bool unloading() const;
    // A new host object, kept by the registry.
    template <class T, class... Args> T& make(Args&&... args)
    {
        return objects.make<T>(*this, std::forward<Args>(args)...);
    }
    // Runs a notification; anything escaping it is contained and traced.
    void deliver(const std::string& where, const std::function<void()>& notify);

    Recorder recorder;
    FaultPlan faults{recorder};
    Registry objects;
    Connections connections;

private:
    Options options_;
    bool offline_;
    AppImpl* app_ = nullptr;
    std::unique_ptr<AddinLibrary> library_;
    std::string libraryFolder_;
    bool unloaded_ = false;
};

} // namespace simhost
