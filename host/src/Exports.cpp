// The symbols that add-ins import from the host's interface library.
#include "FaultPoints.h"
#include "Model.h"
#include "SessionState.h"

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

const char* CommandControl::interfaceId() { return classType(); }

EventHandler::EventHandler()
{
    if (simhost::SessionState* session = simhost::SessionState::current()) {
        session->handlerConstructed(this);
    }
}

EventHandler::~EventHandler()
{
    if (simhost::SessionState* session = simhost::SessionState::current()) {
        session->handlerDestroyed(this);
    }
}

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
