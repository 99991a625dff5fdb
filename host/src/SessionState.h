// The simulated host's state for one session: options, faults, trace, object registry, the
// loaded add-in, and the registry of event handlers (so a destroyed handler can be disconnected
// from its events). Host objects reach it through their Tracked base; the control API (HostSession)
// through the accessors below.
#pragma once

#include "Tracked.h"

#include <simhost/Trace.h>
#include <simhost/Types.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace adsk::core {
class EventHandler;
}

namespace simhost {

class AddinLibrary;
class AppImpl;

#if defined(_WIN32)
inline constexpr const char* pathSeparators = "\\/";
#else
inline constexpr const char* pathSeparators = "/";
#endif

// An event the host can disconnect a destroyed handler from.
class HandlerSlot {
public:
    virtual void disconnect(const adsk::core::EventHandler* handler) = 0;

protected:
    ~HandlerSlot() = default;
};

class SessionState {
public:
    explicit SessionState(Options options);
    ~SessionState();
    SessionState(const SessionState&) = delete;
    SessionState& operator=(const SessionState&) = delete;

    // The session the add-in reaches through Application::get_raw, or null.
    static SessionState* current();

    const Options& options() const { return options_; }
    bool offline() const { return offline_; }
    void setOffline(bool value) { offline_ = value; }
    AppImpl& app() { return *app_; }

    // --- faults ------------------------------------------------------------------------------
    // Counts one call of that operation; true when the fault point refuses this call (every
    // call, or only the Nth with "point@N"). A triggered fault is traced.
    bool fault(const std::string& point);
    bool fault(const char* point, const std::string& commandId);
    void setFaults(const std::vector<std::string>& faults);
    // The faults asked for that have not taken effect so far.
    [[nodiscard]] std::vector<std::string> faultsNeverFired() const;

    // --- what the session records ---------------------------------------------------------------
    TraceEntry& trace(std::string kind, std::string value);
    void violation(const std::string& rule, const std::string& detail);
    void journal(std::string line) { journal_.push_back(std::move(line)); }
    [[nodiscard]] const std::vector<TraceEntry>& traceEntries() const { return trace_; }
    [[nodiscard]] const std::vector<std::string>& journalLines() const { return journal_; }
    [[nodiscard]] const std::vector<std::string>& violations() const { return violations_; }

    // --- host objects ----------------------------------------------------------------------------
    // Creates an object owned by the registry; it lives until the session ends or compact().
    template <class T, class... Args> T& make(Args&&... args)
    {
        auto object = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& ref = *object;
        objects_.push_back(std::move(object));
        return ref;
    }
    [[nodiscard]] int outstandingReferences() const;
    [[nodiscard]] std::vector<std::string> heldObjects() const;
    [[nodiscard]] std::size_t objectCount() const { return objects_.size(); }
    // Frees what nothing can reach any more, and clears the trace and journal.
    void compact();

    // --- the add-in ----------------------------------------------------------------------------
    void loadLibrary(const std::string& library); // UTF-8
    // Unloads it; false when the system kept it mapped.
    bool unloadLibrary();
    [[nodiscard]] AddinLibrary* library() const { return library_.get(); }
    [[nodiscard]] bool unloaded() const { return unloaded_; }
    // True while the add-in's static objects are being destroyed.
    [[nodiscard]] bool unloading() const;
    [[nodiscard]] const std::string& libraryFolder() const { return libraryFolder_; }

    // --- events ------------------------------------------------------------------------------
    // Runs a notification; anything escaping it is contained and traced.
    void deliver(const std::string& where, const std::function<void()>& notify);
    void connect(const adsk::core::EventHandler* handler, HandlerSlot* slot);
    void disconnect(const adsk::core::EventHandler* handler, HandlerSlot* slot);
    void handlerConstructed(const adsk::core::EventHandler* handler);
    void handlerDestroyed(const adsk::core::EventHandler* handler);

private:
    Options options_;
    bool offline_ = false;
    std::set<std::string> faults_;                    // refuse every call
    std::map<std::string, std::set<long>> nthFaults_; // refuse only these calls, counted from 1
    std::map<std::string, long> calls_;
    std::set<std::string> fired_;
    std::vector<TraceEntry> trace_;
    std::vector<std::string> journal_;
    std::vector<std::string> violations_;
    std::vector<std::unique_ptr<Tracked>> objects_;
    std::unique_ptr<AddinLibrary> library_;
    std::string libraryFolder_;
    bool unloaded_ = false;
    AppImpl* app_ = nullptr;
    std::map<const adsk::core::EventHandler*, std::vector<HandlerSlot*>> connections_;
};

} // namespace simhost
