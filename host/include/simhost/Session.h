// Control API of the simulated host, for C++ drivers (hostsim, the tests): one session drives one
// add-in library through the actions a real host performs (load, run, stop, clicks, page
// messages, on-line reports, unload) and records every effect in the trace.
//
// Header-only over the C entry of simhost.h: the host's library is loaded by path and reached
// through its one exported table, so the driver's C++ library never meets the host's (the host
// and the add-in may be built in another C++ ABI than the driver). Errors are thrown here, on the
// driver's side: UsageError, LoadError, or std::runtime_error.
// Threading: like the real host, a session calls the add-in from one thread only. Only one
// Session exists at a time; the add-in reaches it through Application::get_raw.
#pragma once

#include "HostLibrary.h"
#include "SessionSinks.h"
#include "Trace.h"
#include "Types.h"
#include "simhost.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace simhost {

class Session {
public:
    // Every fault point, one per line of --list-faults. Per-command points are listed for this
    // project's commands; Options::faults accepts them with any command id.
    static std::vector<std::string> faultPoints(const std::filesystem::path& host = HostLibrary::besideThisProgram())
    {
        const HostLibrary library(host);
        std::vector<std::string> all;
        sinks::Filling<std::vector<std::string>> filling{all, nullptr};
        const simhost_status status = library.api().fault_points(&sinks::appendTo, &filling);
        filling.rethrow();
        if (status != SIMHOST_OK) {
            throw std::runtime_error("the simulated host lists no fault points");
        }
        return all;
    }

    // A session of the simulated host in the library at host (loaded for as long as the session
    // lives). Throws UsageError for refused options, LoadError when the library is unusable.
    explicit Session(const Options& options, const std::filesystem::path& host = HostLibrary::besideThisProgram())
        : library_(std::make_unique<HostLibrary>(host)), api_(library_->api())
    {
        const std::vector<simhost_text> faults = texts(options.faults);
        const std::string entitlement = options.entitlement.value_or(std::string());
        const simhost_options given{sizeof(simhost_options),
                                    options.language,
                                    options.entitlement.has_value() ? 1 : 0,
                                    sinks::text(entitlement),
                                    options.offline ? 1 : 0,
                                    faults.data(),
                                    faults.size(),
                                    options.fromDialog ? 1 : 0,
                                    options.anyOrder ? 1 : 0};
        const simhost_status status = api_.create(&given, &session_);
        if (session_ == nullptr) {
            throw std::runtime_error("no memory for a host session");
        }
        if (status != SIMHOST_OK) {
            const std::string message = lastError();
            api_.destroy(session_);
            session_ = nullptr;
            raise(status, message);
        }
    }
    ~Session()
    {
        if (session_ != nullptr) {
            api_.destroy(session_);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    Session(Session&&) = delete;
    Session& operator=(Session&&) = delete;

    // Replaces the active fault points (validated like Options::faults) and restarts the call
    // counts that "WHAT@N" refers to.
    void setFaults(const std::vector<std::string>& faults)
    {
        const std::vector<simhost_text> given = texts(faults);
        check(api_.set_faults(session_, given.data(), given.size()));
    }

    // Loads the add-in (its static objects are constructed); exactly that file, also when the
    // path is relative. Throws LoadError.
    void load(const std::filesystem::path& library)
    {
        const std::u8string given = library.u8string();
        check(api_.load(session_, sinks::text(std::string(given.begin(), given.end()))));
    }
    // Entry points as the host and its dialog call them: run once a load (after stop or unload,
    // the library loaded anew), stop once after run, the library then unloaded; another order is
    // a UsageError unless Options::anyOrder. The result is traced, an escaping exception is
    // contained and traced.
    bool run() { return entry(api_.run); }
    bool stop() { return entry(api_.stop); }
    // What the host does when the user clicks a toolbar button of that command (a UsageError when
    // no toolbar has one).
    void click(const std::string& commandId) { check(api_.click(session_, sinks::text(commandId))); }
    // A message from the learning page, adsk.fusionSendData(action, text), to the message event
    // of the shown palette with that id (empty: the newest shown one).
    void message(const std::string& text, const std::string& action = "send", const std::string& paletteId = {})
    {
        check(api_.send_message(session_, sinks::text(paletteId), sinks::text(action), sinks::text(text)));
    }
    // The user closes that palette with its close button: it stays, hidden; its closed event
    // fires. A UsageError when it is not shown or has no close button.
    void close(const std::string& paletteId) { check(api_.close(session_, sinks::text(paletteId))); }
    // The user switches workspace: the host deletes the palettes.
    void switchWorkspace() { check(api_.switch_workspace(session_)); }
    // Fires the on-line status event (and sets the host's state).
    void setOnline(bool online) { check(api_.set_online(session_, online ? 1 : 0)); }
    // The host ends the add-in, as when it exits: a running add-in stopped, the library unloaded
    // (static objects destroyed), then what it left recorded and the reference balance traced.
    // Nothing once it is unloaded (after stop).
    void unload() { check(api_.unload(session_)); }
    // Adds a note of the host's own to the trace ({"op":"note","text":…}).
    void note(const std::string& text) { check(api_.note(session_, sinks::text(text))); }

    // Frees the host objects nothing can reach any more (deleted, or made for one action that is
    // over, with no reference left) and clears the trace and journal, so that long runs measure
    // the add-in rather than the simulated host's history.
    void compact()
    {
        check(api_.compact(session_));
        trace_.clear();
        journal_.clear();
    }

    [[nodiscard]] bool loaded() const { return state().loaded != 0; }
    // References the add-in holds now, and a label for each object concerned.
    [[nodiscard]] int outstandingReferences() const { return state().outstanding_references; }
    [[nodiscard]] std::size_t hostObjectCount() const { return state().host_objects; }
    // The folder of the add-in library loaded last (icon folders are relative to it).
    [[nodiscard]] std::filesystem::path libraryFolder() const
    {
        const simhost_text folder = state().library_folder;
        return {std::u8string(reinterpret_cast<const char8_t*>(folder.data), folder.size)};
    }
    [[nodiscard]] std::vector<std::string> heldObjects() const { return list(SIMHOST_HELD_OBJECTS); }
    // The faults asked for (Options::faults, setFaults) that have not taken effect so far.
    [[nodiscard]] std::vector<std::string> faultsNeverFired() const { return list(SIMHOST_FAULTS_NEVER_FIRED); }
    // Contract violations seen so far (also in the trace as "violation" entries).
    [[nodiscard]] std::vector<std::string> violations() const { return list(SIMHOST_VIOLATIONS); }

    // The trace so far (entries are complete once the call that made them has returned).
    [[nodiscard]] const std::vector<TraceEntry>& trace() const
    {
        fill(trace_, [&](void* filling) { return api_.trace(session_, trace_.size(), &sinks::appendEntry, filling); });
        return trace_;
    }
    // Low-level lifecycle log (handler construction/destruction, releases) for ordering checks.
    [[nodiscard]] const std::vector<std::string>& journal() const
    {
        fill(journal_,
             [&](void* filling) { return api_.journal(session_, journal_.size(), &sinks::appendTo, filling); });
        return journal_;
    }

    // What the host shows and keeps now.
    [[nodiscard]] HostView view() const
    {
        HostView view;
        fill(view, [&](void* filling) { return api_.view(session_, &sinks::addItem, filling); });
        return view;
    }
    [[nodiscard]] bool paletteExists(std::string_view id) const { return view().palette(id) != nullptr; }
    [[nodiscard]] bool paletteVisible(std::string_view id) const
    {
        const HostView now = view();
        return now.palette(id) != nullptr && now.palette(id)->visible;
    }
    [[nodiscard]] bool definitionExists(std::string_view id) const { return view().definition(id) != nullptr; }
    [[nodiscard]] std::vector<std::string> toolbarControlIds() const
    {
        std::vector<std::string> ids;
        for (const ToolbarControlView& control : view().toolbar) {
            ids.push_back(control.id);
        }
        return ids;
    }

private:
    template <class Target, class Call> void fill(Target& target, Call call) const
    {
        sinks::Filling<Target> filling{target, nullptr};
        const simhost_status status = call(&filling);
        filling.rethrow();
        check(status);
    }

    static std::vector<simhost_text> texts(const std::vector<std::string>& values)
    {
        std::vector<simhost_text> given;
        given.reserve(values.size());
        for (const std::string& value : values) {
            given.push_back(sinks::text(value));
        }
        return given;
    }
    [[noreturn]] static void raise(simhost_status status, const std::string& message)
    {
        if (status == SIMHOST_LOAD_ERROR) {
            throw LoadError(message);
        }
        if (status == SIMHOST_USAGE_ERROR) {
            throw UsageError(message);
        }
        throw std::runtime_error(message);
    }
    [[nodiscard]] std::string lastError() const
    {
        simhost_text message{nullptr, 0};
        return api_.last_error(session_, &message) == SIMHOST_OK ? sinks::string(message)
                                                                 : std::string("unknown failure");
    }
    void check(simhost_status status) const
    {
        if (status != SIMHOST_OK) {
            raise(status, lastError());
        }
    }

    bool entry(simhost_status (*call)(simhost_session*, int*))
    {
        int result = 0;
        check(call(session_, &result));
        return result != 0;
    }

    [[nodiscard]] simhost_state state() const
    {
        simhost_state state{sizeof(simhost_state), 0, 0, 0, {nullptr, 0}};
        check(api_.state(session_, &state));
        return state;
    }
    [[nodiscard]] std::vector<std::string> list(simhost_list which) const
    {
        std::vector<std::string> items;
        fill(items, [&](void* filling) { return api_.list(session_, which, &sinks::appendTo, filling); });
        return items;
    }

    std::unique_ptr<HostLibrary> library_;
    const simhost_api& api_;
    simhost_session* session_ = nullptr;
    mutable std::vector<TraceEntry> trace_;
    mutable std::vector<std::string> journal_;
};

} // namespace simhost
