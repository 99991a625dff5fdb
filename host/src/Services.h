// What the host's objects are given, and all they reach: the session's record, the faults it
// injects, the registry that owns them, the events' connections and the state the application
// reports. Host owns it beside the model; the model never reaches back into Host.
#pragma once

#include "Connections.h"
#include "FaultPlan.h"
#include "Recorder.h"
#include "Registry.h"

#include <simhost/Types.h>

#include <string>
#include <utility>

namespace simhost {

struct Services {
    // Throws UsageError for a fault the options name that is not one.
    explicit Services(Options given) : options(std::move(given)), offline(options.offline)
    {
        faults.set(options.faults);
    }

    // A new host object, kept by the registry.
    template <class T, class... Args> T& make(Args&&... args)
    {
        return objects.make<T>(*this, std::forward<Args>(args)...);
    }
    // Runs a notification; anything escaping it is contained and traced, where a real host could
    // terminate and lose the user's work.
    template <class Notify> void deliver(const std::string& where, Notify notify)
    {
        try {
            notify();
        } catch (...) {
            recorder.trace("op", "exception").add("where", where);
        }
    }

    Recorder recorder;
    FaultPlan faults{recorder};
    Connections connections;
    Registry objects; // after the connections, which the objects' destructors update
    Options options;
    bool offline;
    bool unloading = false; // while the add-in's static objects are destroyed
};

} // namespace simhost
