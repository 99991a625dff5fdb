// Which events each handler object has been added to, so that a handler the add-in destroys is
// let go by every one of them (the host's EventHandler destructor does that) and never called,
// and so that the host can tell, when an add-in's library unloads, which handlers it left.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace adsk::core {
class EventHandler;
}

namespace simhost {

// An event that can let a handler go.
class HandlerSlot {
public:
    virtual void disconnect(const adsk::core::EventHandler* handler) = 0;
    [[nodiscard]] virtual const std::string& eventName() const = 0;

protected:
    ~HandlerSlot() = default;
};

class Connections {
public:
    // className: the add-in's class of the handler, read while its library is there to read.
    void connect(const adsk::core::EventHandler* handler, HandlerSlot* event, const std::string& className)
    {
        Connected& connected = handlers_[handler];
        connected.className = className;
        connected.events.push_back(event);
    }

    void disconnect(const adsk::core::EventHandler* handler, HandlerSlot* event)
    {
        const auto found = handlers_.find(handler);
        if (found != handlers_.end() && std::erase(found->second.events, event) > 0 && found->second.events.empty()) {
            handlers_.erase(found);
        }
    }

    // The handler ends: every event it was added to lets it go.
    void handlerDestroyed(const adsk::core::EventHandler* handler)
    {
        if (handlers_.contains(handler)) {
            letGo(handler);
        }
    }

    // Lets every handler go, as "CLASS on EVENT, EVENT", one for each: the handlers an add-in left
    // added when its library unloaded, whose code is gone with it.
    std::vector<std::string> dropAll()
    {
        std::vector<std::string> dropped;
        while (!handlers_.empty()) {
            auto& [handler, connected] = *handlers_.begin();
            std::string description = connected.className + " on ";
            for (const HandlerSlot* event : connected.events) {
                description += (event == connected.events.front() ? "" : ", ") + event->eventName();
            }
            dropped.push_back(std::move(description));
            letGo(handler);
        }
        return dropped;
    }

private:
    struct Connected {
        std::string className;
        std::vector<HandlerSlot*> events;
    };

    // An event's disconnect changes only the event, never these records.
    void letGo(const adsk::core::EventHandler* handler)
    {
        const auto found = handlers_.find(handler);
        for (HandlerSlot* event : found->second.events) {
            event->disconnect(handler);
        }
        handlers_.erase(found);
    }

    std::map<const adsk::core::EventHandler*, Connected> handlers_;
};

} // namespace simhost
