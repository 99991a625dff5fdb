// The symbols that add-ins import from the host's interface library, those that behave (the
// placeholders and other slots nobody should call are generated: generated/HostSlots.cpp).
#include "HostOperations.h"
#include "UnusedSlot.h"
#include "model/Application.h"

#include <Core/CoreAll.h>

namespace adsk::core {

Application* Application::get_raw()
{
    simhost::AppImpl* app = simhost::AppImpl::current();
    if (app == nullptr || app->services().faults.fires(simhost::operations::applicationGet)) {
        return nullptr;
    }
    return app->handOut();
}

const char* CommandControl::classType() { return "adsk::core::CommandControl"; }

// The host's record of a handler is the application of the session it was made in: the destructor disconnects it
// from that session's events, and from nothing once that session has ended.
EventHandler::EventHandler() : hostRecord_(simhost::AppImpl::current())
{
    if (auto* app = static_cast<simhost::AppImpl*>(hostRecord_)) {
        app->services().recorder.journal("handler constructed");
    }
}

EventHandler::~EventHandler()
{
    auto* app = static_cast<simhost::AppImpl*>(hostRecord_);
    if (app != nullptr && app == simhost::AppImpl::current()) {
        app->services().recorder.journal("handler destroyed");
        app->services().connections.handlerDestroyed(this);
    }
}

} // namespace adsk::core

namespace simhost {

void* unusedSlot(const char* className, int slot)
{
    if (AppImpl* app = AppImpl::current()) {
        app->services().recorder.violation("unusedSlot", std::string(className) + " slot " + std::to_string(slot));
    }
    return nullptr;
}

} // namespace simhost
