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
    EventHandler(const EventHandler&) = delete;
    EventHandler& operator=(const EventHandler&) = delete;

private:
    // The destructor, and reserved slots that keep the vtable layout stable between host versions.
    // Host vtable slots of EventHandler (written from sdk/abi/HostVtables.txt).
    // clang-format off
public:
    virtual ~EventHandler(); // 0
private:
    virtual void placeholderEventHandler0(); // 1
    virtual void placeholderEventHandler1(); // 2
    virtual void placeholderEventHandler2(); // 3
    virtual void placeholderEventHandler3(); // 4
    virtual void placeholderEventHandler4(); // 5
    virtual void placeholderEventHandler5(); // 6
    virtual void placeholderEventHandler6(); // 7
    virtual void placeholderEventHandler7(); // 8
    virtual void placeholderEventHandler8(); // 9
    virtual void placeholderEventHandler9(); // 10
    virtual void placeholderEventHandler10(); // 11
    virtual void placeholderEventHandler11(); // 12
    virtual void placeholderEventHandler12(); // 13
    virtual void placeholderEventHandler13(); // 14
    virtual void placeholderEventHandler14(); // 15
    virtual void placeholderEventHandler15(); // 16
    // clang-format on
    // End of the host vtable slots of EventHandler.

    void* hostRecord_ = nullptr;
};

} // namespace adsk::core
