// Messages that the page in an HTML palette sends with adsk.fusionSendData(action, data).
#pragma once

#include "../Event.h"
#include "../EventHandler.h"

namespace adsk::core {

class HTMLEventArgs : public EventArgs {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    std::string action() const { return detail::takeHostText(action_raw()); }
    // The message text, UTF-8.
    std::string data() const { return detail::takeHostText(data_raw()); }

private:
    // Host vtable slots of HTMLEventArgs (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual char* action_raw() const = 0; // 56
    virtual char* data_raw() const = 0; // 57
    virtual void* unused58() const; // 58
    virtual void* unused59() const; // 59
    virtual void* unused60() const; // 60
    // clang-format on
    // End of the host vtable slots of HTMLEventArgs.
};

// The notification is called on the host's user-interface thread; eventArgs stay the host's.
class HTMLEventHandler : public EventHandler {
    // Host vtable slots of HTMLEventHandler (written from sdk/abi/HostVtables.txt).
    // clang-format off
public:
    virtual void notify(const Ptr<HTMLEventArgs>& eventArgs) = 0; // 17
private:
    // clang-format on
    // End of the host vtable slots of HTMLEventHandler.
};

class HTMLEvent : public Event {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    bool add(HTMLEventHandler* handler) { return add_raw(handler); }
    bool remove(HTMLEventHandler* handler) { return remove_raw(handler); }

private:
    // Host vtable slots of HTMLEvent (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual bool add_raw(HTMLEventHandler* handler) = 0; // 56
    virtual bool remove_raw(HTMLEventHandler* handler) = 0; // 57
    // clang-format on
    // End of the host vtable slots of HTMLEvent.
};

} // namespace adsk::core
