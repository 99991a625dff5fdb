// Event and EventArgs: the common bases of the host's typed events and their arguments.
//
// A typed event's add(handler) registers a handler object by address and answers true when the
// host accepted it; the add-in keeps the handler alive. Event arguments are owned by the host
// for the duration of the notification; a handler neither keeps nor releases them.
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
