// The symbols that add-ins import from the host's interface library, those that behave (the
// placeholders and other slots nobody should call are generated: generated/HostSlots.cpp).
#include "Host.h"
#include "HostOperations.h"
#include "Model.h"
#include "UnusedSlot.h"

#include <Core/CoreAll.h>

namespace adsk::core {

Application* Application::get_raw()
{
    simhost::Host* host = simhost::Host::current();
    if (host == nullptr || host->faults.fires(simhost::operations::applicationGet)) {
        return nullptr;
    }
    return host->app().handOut();
}

const char* CommandControl::classType() { return "adsk::core::CommandControl"; }

// The host's record of a handler is the session it was made in: the destructor disconnects it
// from that session's events, and from nothing once that session has ended.
EventHandler::EventHandler() : hostRecord_(simhost::Host::current())
{
    if (auto* host = static_cast<simhost::Host*>(hostRecord_)) {
        host->recorder.journal("handler constructed");
    }
}

EventHandler::~EventHandler()
{
    auto* host = static_cast<simhost::Host*>(hostRecord_);
    if (host != nullptr && host == simhost::Host::current()) {
        host->recorder.journal("handler destroyed");
        host->connections.handlerDestroyed(this);
    }
}

} // namespace adsk::core

namespace simhost {

void* unusedSlot(const char* className, int slot)
{
    if (Host* host = Host::current()) {
        host->recorder.violation("unusedSlot", std::string(className) + " slot " + std::to_string(slot));
    }
    return nullptr;
}

} // namespace simhost
