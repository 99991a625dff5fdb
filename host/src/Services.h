// What the host's objects are given, and all they reach: the session's record, the faults it
// injects, the registry that owns them, the events' connections and the state the application
// reports. Host owns it beside the model; the model never reaches back into Host.
#pragma once

#include "Connections.h"
#include "FaultPlan.h"
#include "ForeignCalls.h"
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
        settleForeignCalls();
    }

    // Records, on the host's thread, what the add-in did off it since the last time: each call as
    // a violation, and each handler destroyed there let go of by its events.
    void settleForeignCalls()
    {
        ForeignCalls::Notes notes = foreign.take();
        for (const std::string& call : notes.calls) {
            recorder.violation("wrongThread", call);
        }
        for (const adsk::core::EventHandler* handler : notes.destroyed) {
            connections.handlerDestroyed(handler);
        }
    }

    ForeignCalls foreign; // made on the host's thread, with the session
    Recorder recorder;
    FaultPlan faults{recorder};
    Connections connections;
    Registry objects; // after the connections, which the objects' destructors update
    Options options;
    bool offline;
    bool unloading = false; // while the add-in's static objects are destroyed
};

} // namespace simhost
