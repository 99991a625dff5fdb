// The symbols that add-ins import from the host's interface library, those that behave (the
// placeholders and other slots it does not model, and the classes' type names, are generated:
// generated/HostSlots.cpp).
#include "HostOperations.h"
#include "NotModelled.h"
#include "model/Application.h"

#include <Core/CoreAll.h>

namespace adsk::core {

Application* Application::get_raw()
{
    simhost::AppImpl* app = simhost::AppImpl::current();
    if (app == nullptr) {
        return nullptr;
    }
    simhost::Services& services = app->services();
    if (!services.foreign.onHostThread()) {
        services.foreign.note("Application.get");
        return nullptr;
    }
    return services.faults.fires(simhost::operations::applicationGet) ? nullptr : app->handOut();
}

// The host's record of a handler is the application of the session it was made in: the destructor disconnects it
// from that session's events, and from nothing once that session has ended.
EventHandler::EventHandler() : hostRecord_(simhost::AppImpl::current())
{
    if (auto* app = static_cast<simhost::AppImpl*>(hostRecord_)) {
        if (app->services().foreign.onHostThread()) {
            app->services().recorder.journal("handler constructed");
        } else {
            app->services().foreign.note("EventHandler.EventHandler");
        }
    }
}

EventHandler::~EventHandler()
{
    auto* app = static_cast<simhost::AppImpl*>(hostRecord_);
    if (app == nullptr || app != simhost::AppImpl::current()) {
        return;
    }
    simhost::Services& services = app->services();
    if (services.foreign.onHostThread()) {
        services.recorder.journal("handler destroyed");
        services.connections.handlerDestroyed(this);
    } else {
        // Still let go of, by the host's thread at its next step, so that it is never called.
        services.foreign.note("EventHandler.~EventHandler");
        services.foreign.noteDestroyed(this);
    }
}

} // namespace adsk::core

namespace simhost {

void notModelled(const char* className, const char* function)
{
    if (AppImpl* app = AppImpl::current()) {
        const std::string call = std::string(className) + "." + function;
        if (app->services().foreign.onHostThread()) {
            app->services().recorder.notModelled(call);
        } else {
            app->services().foreign.note(call);
        }
    }
}

} // namespace simhost
