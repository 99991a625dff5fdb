// Event and EventArgs: the common bases of the host's typed events and their arguments.
//
// A typed event's add(handler) registers a handler object by address and answers true when the
// host accepted it; the add-in keeps the handler alive for as long as the host may call it (the
// handler's destructor removes it from every event). Adding a handler that is already added to
// the same event is refused (false), so one firing never calls it twice; remove(handler) answers
// false for one that is not added. Notifications run one at a time on the user-interface thread.
// Event arguments are owned by the host for the duration of the notification (they may be
// empty); a handler neither keeps nor releases them.
#pragma once

#include "Base.h"

namespace adsk::core {

class Event : public Base {
public:
    static const char* classType() { return "adsk::core::Event"; }
    static const char* interfaceId() { return classType(); }
    std::string name() const { return detail::takeHostText(name_raw()); }

private:
    virtual char* name_raw() const = 0;
};

class EventArgs : public Base {
public:
    static const char* classType() { return "adsk::core::EventArgs"; }
    static const char* interfaceId() { return classType(); }
};

} // namespace adsk::core
