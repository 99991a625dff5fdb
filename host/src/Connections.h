// Which events each handler object has been added to, so that a handler the add-in destroys is
// let go by every one of them (the host's EventHandler destructor does that) and never called.
#pragma once

#include <algorithm>
#include <map>
#include <vector>

namespace adsk::core {
class EventHandler;
}

namespace simhost {

// An event that can let a handler go.
class HandlerSlot {
public:
    virtual void disconnect(const adsk::core::EventHandler* handler) = 0;

protected:
    ~HandlerSlot() = default;
};

class Connections {
public:
    void connect(const adsk::core::EventHandler* handler, HandlerSlot* event) { events_[handler].push_back(event); }

    void disconnect(const adsk::core::EventHandler* handler, HandlerSlot* event)
    {
        const auto found = events_.find(handler);
        if (found != events_.end() && std::erase(found->second, event) > 0 && found->second.empty()) {
            events_.erase(found);
        }
    }

    // The handler ends: every event it was added to lets it go.
    void handlerDestroyed(const adsk::core::EventHandler* handler)
    {
        const auto found = events_.find(handler);
        if (found == events_.end()) {
            return;
        }
        const std::vector<HandlerSlot*> events = std::move(found->second);
        events_.erase(found);
        for (HandlerSlot* event : events) {
            event->disconnect(handler);
        }
    }

private:
    std::map<const adsk::core::EventHandler*, std::vector<HandlerSlot*>> events_;
};

} // namespace simhost
