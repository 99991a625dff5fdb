// The simulated host's state for one session: options, faults, trace, object registry, and the
// registry of event handlers (so a destroyed handler can be disconnected from its events).
#pragma once

#include "Tracked.h"

#include <simhost/Session.h>

#include <filesystem>
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

    // Counts one call of that operation; true when the fault point refuses this call (every
    // call, or only the Nth with "point@N"). A triggered fault is traced.
    bool fault(const std::string& point);
    bool fault(const std::string& point, const std::string& key) { return fault(point + ":" + key); }

    void setFaults(const std::vector<std::string>& faults);

    TraceEntry& trace(std::string kind, std::string value);
    void violation(const std::string& rule, const std::string& detail);
    void journal(std::string line) { journal_.push_back(std::move(line)); }

    // Creates an object owned by the registry; it lives until the session ends.
    template <class T, class... Args> T& make(Args&&... args)
    {
        auto object = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& ref = *object;
        objects_.push_back(std::move(object));
        return ref;
    }

    // Runs a notification; anything escaping it is contained and traced.
    void deliver(const std::string& where, const std::function<void()>& notify);

    void connect(const adsk::core::EventHandler* handler, HandlerSlot* slot);
    void disconnect(const adsk::core::EventHandler* handler, HandlerSlot* slot);
    void handlerConstructed(const adsk::core::EventHandler* handler);
    void handlerDestroyed(const adsk::core::EventHandler* handler);

    AppImpl& app() { return *app_; }

    std::vector<TraceEntry> trace_;
    std::vector<std::string> journal_;
    std::vector<std::string> violations_;
    std::vector<std::unique_ptr<Tracked>> objects_;
    std::unique_ptr<AddinLibrary> library_;
    std::filesystem::path libraryFolder_;
    bool unloaded_ = false;

private:
    Options options_;
    std::set<std::string> faults_;                    // refuse every call
    std::map<std::string, std::set<long>> nthFaults_; // refuse only these calls, counted from 1
    std::map<std::string, long> calls_;
    bool offline_ = false;
    AppImpl* app_ = nullptr;
    std::map<const adsk::core::EventHandler*, std::vector<HandlerSlot*>> connections_;
};

} // namespace simhost
