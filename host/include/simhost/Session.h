// Control API of the simulated host, for C++ drivers (hostsim, the tests): one session drives one
// add-in library through the actions a real host performs (load, run, stop, clicks, page
// messages, on-line reports, unload) and records every effect in the trace.
//
// Header-only over the C API of simhost.h, so the driver's C++ library never meets the host's:
// the host and the add-in may be built in another C++ ABI than the driver.
// Threading: like the real host, a session calls the add-in from one thread only.
// Only one Session exists at a time; the add-in reaches it through Application::get_raw.
#pragma once

#include "Trace.h"
#include "Types.h"
#include "simhost.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace simhost {

class Session {
public:
    // Every fault point, one per line of --list-faults. Per-command points are listed for this
    // project's commands; Options::faults accepts them with any command id.
    static const std::vector<std::string>& faultPoints()
    {
        static const std::vector<std::string> points = [] {
            std::vector<std::string> all;
            simhost_fault_points(&appendTo, &all);
            return all;
        }();
        return points;
    }

    explicit Session(const Options& options)
    {
        const std::vector<simhost_text> faults = texts(options.faults);
        const std::string entitlement = options.entitlement.value_or(std::string());
        const simhost_options given{options.language,  options.entitlement.has_value() ? 1 : 0,
                                    text(entitlement), options.offline ? 1 : 0,
                                    faults.data(),     faults.size()};
        check(simhost_session_create(&given, &session_));
    }
    ~Session() { simhost_session_destroy(session_); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    Session(Session&&) = delete;
    Session& operator=(Session&&) = delete;

    // Replaces the active fault points (validated like Options::faults) and restarts the call
    // counts that "WHAT@N" refers to.
    void setFaults(const std::vector<std::string>& faults)
    {
        const std::vector<simhost_text> given = texts(faults);
        check(simhost_set_faults(session_, given.data(), given.size()));
    }

    // Loads the add-in (its static objects are constructed); exactly that file, also when the
    // path is relative. Throws LoadError.
    void load(const std::filesystem::path& library)
    {
        const std::u8string given = library.u8string();
        const std::string utf8(given.begin(), given.end());
        check(simhost_load(session_, text(utf8)));
    }
    // Entry points; the result is traced, an escaping exception is contained and traced.
    bool run() { return entry(&simhost_run); }
    bool stop() { return entry(&simhost_stop); }
    // What the host does when the user clicks a toolbar button.
    void click(const std::string& commandId) { check(simhost_click(session_, text(commandId))); }
    // A message from the learning page to the message event of the palette the add-in created.
    void message(const std::string& text) { check(simhost_message(session_, Session::text(text))); }
    // The user closes that palette with its close button: it stays, hidden.
    void close(const std::string& paletteId) { check(simhost_close(session_, text(paletteId))); }
    // Fires the on-line status event (and sets the host's state).
    void setOnline(bool online) { check(simhost_set_online(session_, online ? 1 : 0)); }
    // Unloads the library (static objects destroyed), then traces the reference balance.
    void unload() { check(simhost_unload(session_)); }
    [[nodiscard]] bool loaded() const { return simhost_loaded(session_) != 0; }

    // Frees the host objects nothing can reach any more (deleted, or made for one action that is
    // over, with no reference left) and clears the trace and journal, so that long runs measure
    // the add-in rather than the simulated host's history.
    void compact()
    {
        simhost_compact(session_);
        trace_.clear();
        journal_.clear();
    }
    [[nodiscard]] std::size_t hostObjectCount() const { return simhost_host_object_count(session_); }

    // The trace so far (entries are complete once the call that made them has returned).
    [[nodiscard]] const std::vector<TraceEntry>& trace() const
    {
        for (std::size_t entry = trace_.size(); entry < simhost_trace_size(session_); ++entry) {
            trace_.push_back(traceEntry(entry));
        }
        return trace_;
    }
    // References the add-in holds now, and a label for each object concerned.
    [[nodiscard]] int outstandingReferences() const { return simhost_outstanding_references(session_); }
    [[nodiscard]] std::vector<std::string> heldObjects() const { return strings(&simhost_held_objects); }
    // The faults asked for (Options::faults, setFaults) that have not taken effect so far.
    [[nodiscard]] std::vector<std::string> faultsNeverFired() const { return strings(&simhost_faults_never_fired); }
    // Contract violations seen so far (also in the trace as "violation" entries).
    [[nodiscard]] std::vector<std::string> violations() const { return strings(&simhost_violations); }
    // Low-level lifecycle log (handler construction/destruction, releases) for ordering checks.
    [[nodiscard]] const std::vector<std::string>& journal() const
    {
        for (std::size_t line = journal_.size(); line < simhost_journal_size(session_); ++line) {
            journal_.push_back(string(simhost_journal_line(session_, line)));
        }
        return journal_;
    }

    // Object-model queries for tests.
    [[nodiscard]] bool paletteExists(const std::string& id) const
    {
        return simhost_palette_exists(session_, text(id)) != 0;
    }
    [[nodiscard]] bool paletteVisible(const std::string& id) const
    {
        return simhost_palette_visible(session_, text(id)) != 0;
    }
    [[nodiscard]] bool definitionExists(const std::string& id) const
    {
        return simhost_definition_exists(session_, text(id)) != 0;
    }
    [[nodiscard]] std::vector<std::string> toolbarControlIds() const { return strings(&simhost_toolbar_control_ids); }
    // What the host shows now.
    [[nodiscard]] HostView view() const
    {
        HostView view;
        simhost_view(session_, &addControl, &addPalette, &view);
        return view;
    }
    // The folder of the add-in library loaded last (icon folders are relative to it).
    [[nodiscard]] std::filesystem::path libraryFolder() const
    {
        const std::string folder = string(simhost_library_folder(session_));
        return {std::u8string(folder.begin(), folder.end())};
    }
    // Adds a note of the host's own to the trace ({"op":"note","text":…}).
    void note(const std::string& text) { simhost_note(session_, Session::text(text)); }
    // Handlers registered now on the event with that trace name (e.g. "onlineStatusChanged").
    [[nodiscard]] int handlerCount(const std::string& eventName) const
    {
        return simhost_handler_count(session_, text(eventName));
    }

private:
    static simhost_text text(std::string_view value) { return {value.data(), value.size()}; }
    static std::string string(simhost_text value) { return {value.data, value.size}; }
    static std::vector<simhost_text> texts(const std::vector<std::string>& values)
    {
        std::vector<simhost_text> given;
        given.reserve(values.size());
        for (const std::string& value : values) {
            given.push_back(text(value));
        }
        return given;
    }
    static void appendTo(void* list, simhost_text value)
    {
        static_cast<std::vector<std::string>*>(list)->push_back(string(value));
    }

    static void check(simhost_status status)
    {
        if (status == SIMHOST_OK) {
            return;
        }
        const std::string message = string(simhost_last_error());
        if (status == SIMHOST_LOAD_ERROR) {
            throw LoadError(message);
        }
        if (status == SIMHOST_USAGE_ERROR) {
            throw UsageError(message);
        }
        throw std::runtime_error(message);
    }

    bool entry(simhost_status (*call)(simhost_session*, int*))
    {
        int result = 0;
        check(call(session_, &result));
        return result != 0;
    }

    std::vector<std::string> strings(void (*list)(const simhost_session*, simhost_text_sink, void*)) const
    {
        std::vector<std::string> items;
        list(session_, &appendTo, &items);
        return items;
    }

    [[nodiscard]] TraceEntry traceEntry(std::size_t entry) const
    {
        TraceEntry result;
        for (std::size_t field = 0; field < simhost_trace_field_count(session_, entry); ++field) {
            const simhost_field given = simhost_trace_field(session_, entry, field);
            switch (given.kind) {
            case SIMHOST_VALUE_BOOL:
                result.add(string(given.name), given.integer != 0);
                break;
            case SIMHOST_VALUE_INTEGER:
                result.add(string(given.name), given.integer);
                break;
            case SIMHOST_VALUE_TEXT:
                result.add(string(given.name), string(given.text));
                break;
            case SIMHOST_VALUE_TEXT_LIST: {
                std::vector<std::string> items;
                for (std::size_t item = 0; item < given.list_size; ++item) {
                    items.push_back(string(simhost_trace_list_item(session_, entry, field, item)));
                }
                result.add(string(given.name), std::move(items));
                break;
            }
            }
        }
        return result;
    }

    static void addControl(void* view, const simhost_control_view* given)
    {
        static_cast<HostView*>(view)->toolbar.push_back({string(given->id), given->owned_by_host != 0,
                                                         string(given->name), string(given->tooltip),
                                                         string(given->resource_folder)});
    }
    static void addPalette(void* view, const simhost_palette_view* given)
    {
        static_cast<HostView*>(view)->palettes.push_back({string(given->id), string(given->name), string(given->url),
                                                          given->visible != 0, given->docking_state, given->width,
                                                          given->height});
    }

    simhost_session* session_ = nullptr;
    mutable std::vector<TraceEntry> trace_;
    mutable std::vector<std::string> journal_;
};

} // namespace simhost
