// The application's events (the on-line status change), their arguments and handler base.
#pragma once

#include "../Event.h"
#include "../EventHandler.h"

namespace adsk::core {

class ApplicationEventArgs : public EventArgs {
public:
    static const char* classType() { return "adsk::core::ApplicationEventArgs"; }
    static const char* interfaceId() { return classType(); }
    // True while the host is off-line.
    bool isOffLine() const { return isOffLine_raw(); }

private:
    virtual bool isOffLine_raw() const = 0;
};

class ApplicationEventHandler : public EventHandler {
public:
    // Called on the host's user-interface thread; eventArgs stay the host's.
    virtual void notify(const Ptr<ApplicationEventArgs>& eventArgs) = 0;
};

class ApplicationEvent : public Event {
public:
    static const char* classType() { return "adsk::core::ApplicationEvent"; }
    static const char* interfaceId() { return classType(); }
    bool add(ApplicationEventHandler* handler) { return add_raw(handler); }
    bool remove(ApplicationEventHandler* handler) { return remove_raw(handler); }

private:
    virtual bool add_raw(ApplicationEventHandler* handler) = 0;
    virtual bool remove_raw(ApplicationEventHandler* handler) = 0;
};

} // namespace adsk::core
