// The application's events (the on-line status change), their arguments and handler base.
#pragma once

#include "../Event.h"
#include "../EventHandler.h"

namespace adsk::core {

class ApplicationEventArgs : public EventArgs {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    // True while the host is off-line.
    bool isOffLine() const { return isOffLine_raw(); }

private:
    // Host vtable slots of ApplicationEventArgs (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual bool isOffLine_raw() const = 0; // 57
    virtual bool isOffLine_raw(bool value); // 56
    virtual void* unused58() const; // 58
    // clang-format on
    // End of the host vtable slots of ApplicationEventArgs.
};

// The notification is called on the host's user-interface thread; eventArgs stay the host's.
class ApplicationEventHandler : public EventHandler {
    // Host vtable slots of ApplicationEventHandler (written from sdk/abi/HostVtables.txt).
    // clang-format off
public:
    virtual void notify(const Ptr<ApplicationEventArgs>& eventArgs) = 0; // 17
private:
    // clang-format on
    // End of the host vtable slots of ApplicationEventHandler.
};

class ApplicationEvent : public Event {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    bool add(ApplicationEventHandler* handler) { return add_raw(handler); }
    bool remove(ApplicationEventHandler* handler) { return remove_raw(handler); }

private:
    // Host vtable slots of ApplicationEvent (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual bool add_raw(ApplicationEventHandler* handler) = 0; // 56
    virtual bool remove_raw(ApplicationEventHandler* handler) = 0; // 57
    // clang-format on
    // End of the host vtable slots of ApplicationEvent.
};

} // namespace adsk::core
