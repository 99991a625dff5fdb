// Messages that the page in an HTML palette sends with adsk.fusionSendData(action, data).
#pragma once

#include "../Event.h"
#include "../EventHandler.h"

namespace adsk::core {

class HTMLEventArgs : public EventArgs {
public:
    static const char* classType() { return "adsk::core::HTMLEventArgs"; }
    static const char* interfaceId() { return classType(); }
    std::string action() const { return detail::takeHostText(action_raw()); }
    // The message text, UTF-8.
    std::string data() const { return detail::takeHostText(data_raw()); }

private:
    virtual char* action_raw() const = 0;
    virtual char* data_raw() const = 0;
};

class HTMLEventHandler : public EventHandler {
public:
    virtual void notify(const Ptr<HTMLEventArgs>& eventArgs) = 0;
};

class HTMLEvent : public Event {
public:
    static const char* classType() { return "adsk::core::HTMLEvent"; }
    static const char* interfaceId() { return classType(); }
    bool add(HTMLEventHandler* handler) { return add_raw(handler); }
    bool remove(HTMLEventHandler* handler) { return remove_raw(handler); }

private:
    virtual bool add_raw(HTMLEventHandler* handler) = 0;
    virtual bool remove_raw(HTMLEventHandler* handler) = 0;
};

} // namespace adsk::core
