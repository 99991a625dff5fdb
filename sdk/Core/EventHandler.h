// EventHandler: base of every handler object an add-in gives to a host event.
//
// Handler objects belong to the add-in, which keeps each one alive for as long as the host may
// call it. They are not counted. The constructor, destructor and the sixteen placeholder slots
// are implemented by the host's interface library; the destructor disconnects the handler from
// every event it was added to, so a destroyed handler is never called. The notification is
// declared by the typed handler bases and runs on the host's user-interface thread.
//
// Layout, the host's: the vtable pointer, then the host's own record of the handler, which the
// constructor sets and the destructor reads (16 bytes in all). A handler class adds no data.
#pragma once

#include "OSMacros.h"

namespace adsk::core {

class XI_CORE_API EventHandler {
public:
    EventHandler();
    virtual ~EventHandler();

    EventHandler(const EventHandler&) = delete;
    EventHandler& operator=(const EventHandler&) = delete;

private:
    // Reserved slots that keep the vtable layout stable between host versions.
    virtual void placeholderEventHandler0();
    virtual void placeholderEventHandler1();
    virtual void placeholderEventHandler2();
    virtual void placeholderEventHandler3();
    virtual void placeholderEventHandler4();
    virtual void placeholderEventHandler5();
    virtual void placeholderEventHandler6();
    virtual void placeholderEventHandler7();
    virtual void placeholderEventHandler8();
    virtual void placeholderEventHandler9();
    virtual void placeholderEventHandler10();
    virtual void placeholderEventHandler11();
    virtual void placeholderEventHandler12();
    virtual void placeholderEventHandler13();
    virtual void placeholderEventHandler14();
    virtual void placeholderEventHandler15();

    void* hostRecord_ = nullptr;
};

} // namespace adsk::core
