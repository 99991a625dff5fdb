// The host's interface library reduced to the add-in's imports (and the classes' type names,
// generated), in the host's ABI: no application (run ends at its first step), handler objects
// counted as the library's constructor and destructor see them. What it shows, through stubcoreHandlers: the add-in's
// static objects are built when it loads and destroyed when it unloads, by its own start-up code.
#include <Core/CoreAll.h>

namespace {
int handlersBuilt = 0;
int handlersAlive = 0;
} // namespace

extern "C" __declspec(dllexport) void stubcoreHandlers(int* built, int* alive)
{
    *built = handlersBuilt;
    *alive = handlersAlive;
}

namespace adsk::core {

Application* Application::get_raw() { return nullptr; }
void DeallocateArrayInternal(char* text) { delete[] text; } // NOLINT(readability-non-const-parameter): the host API

// The host's record of a handler: here, the count it is part of.
EventHandler::EventHandler() : hostRecord_(&handlersAlive)
{
    ++handlersBuilt;
    ++*static_cast<int*>(hostRecord_);
}

EventHandler::~EventHandler() { --*static_cast<int*>(hostRecord_); }

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
