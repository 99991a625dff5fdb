// The symbols that add-ins import from the host's interface library.
#include "FaultPoints.h"
#include "Model.h"
#include "SessionState.h"
#include "UnusedSlot.h"

#include <Core/CoreAll.h>

namespace adsk::core {

Application* Application::get_raw()
{
    simhost::SessionState* session = simhost::SessionState::current();
    if (session == nullptr || session->fault(simhost::faults::applicationGet)) {
        return nullptr;
    }
    return session->app().handOut();
}

const char* CommandControl::classType() { return "adsk::core::CommandControl"; }

// The host's record of a handler is the session it was made in: the destructor disconnects it
// from that session's events, and from nothing once that session has ended.
EventHandler::EventHandler() : hostRecord_(simhost::SessionState::current())
{
    if (auto* session = static_cast<simhost::SessionState*>(hostRecord_)) {
        session->handlerConstructed(this);
    }
}

EventHandler::~EventHandler()
{
    auto* session = static_cast<simhost::SessionState*>(hostRecord_);
    if (session != nullptr && session == simhost::SessionState::current()) {
        session->handlerDestroyed(this);
    }
}

// Asked by interned id rather than by text: never by an add-in built as ours are.
void* Base::queryInterface(const Ns::UniqueString* /*id*/) const { return simhost::unusedSlot("Base", 6); }

// Reserved slots: never called by the host today.
void EventHandler::placeholderEventHandler0() {}
void EventHandler::placeholderEventHandler1() {}
void EventHandler::placeholderEventHandler2() {}
void EventHandler::placeholderEventHandler3() {}
void EventHandler::placeholderEventHandler4() {}
void EventHandler::placeholderEventHandler5() {}
void EventHandler::placeholderEventHandler6() {}
void EventHandler::placeholderEventHandler7() {}
void EventHandler::placeholderEventHandler8() {}
void EventHandler::placeholderEventHandler9() {}
void EventHandler::placeholderEventHandler10() {}
void EventHandler::placeholderEventHandler11() {}
void EventHandler::placeholderEventHandler12() {}
void EventHandler::placeholderEventHandler13() {}
void EventHandler::placeholderEventHandler14() {}
void EventHandler::placeholderEventHandler15() {}

} // namespace adsk::core

namespace simhost {

void* unusedSlot(const char* className, int slot)
{
    if (SessionState* session = SessionState::current()) {
        session->violation("unusedSlot", std::string(className) + " slot " + std::to_string(slot));
    }
    return nullptr;
}

} // namespace simhost
