// EventImpl: a host event with its registered handlers, fault points and trace entries.
#pragma once

#include "Counted.h"
#include "HandlerName.h"
#include "SessionState.h"

#include <algorithm>
#include <string>
#include <vector>

namespace simhost {

// Where a handler's notification stands in its vtable: after the destructor and the sixteen
// placeholders. The Microsoft ABI (the host's) gives the destructor one slot; the Itanium ABI of
// the GCC builds gives it two (complete and deleting).
#if defined(_MSC_VER)
inline constexpr std::size_t notificationSlot = 17;
#else
inline constexpr std::size_t notificationSlot = 18;
#endif

// Interface: the sdk event class; Handler: its handler base; Args: its argument class.
// addFault and argsFault are its fault points (faults::…); commandId qualifies them for the
// events of one command (empty for the others).
// Destroyed through Tracked, whose destructor is virtual; HandlerSlot's is protected on purpose.
template <class Interface, class Handler, class Args>
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class EventImpl final : public Counted<Interface>, public HandlerSlot {
public:
    EventImpl(SessionState& session, std::string traceName, const char* addFault, const char* argsFault,
              std::string commandId = {})
        : Counted<Interface>(session, "Event " + traceName), traceName_(std::move(traceName)), addFault_(addFault),
          argsFault_(argsFault), commandId_(std::move(commandId))
    {
    }

    ~EventImpl() override
    {
        for (Handler* handler : handlers_) {
            this->session_.disconnect(handler, this);
        }
    }

    [[nodiscard]] const std::string& traceName() const { return traceName_; }
    [[nodiscard]] int handlerCount() const { return static_cast<int>(handlers_.size()); }

    // Calls every handler registered now, in registration order. With the "args" fault the
    // handlers receive empty arguments, as a faulty host might send them.
    void fire(Args& args)
    {
        const std::vector<Handler*> handlers = handlers_;
        for (Handler* handler : handlers) {
            if (std::find(handlers_.begin(), handlers_.end(), handler) == handlers_.end()) {
                continue; // disconnected by an earlier handler of this round
            }
            adsk::core::Ptr<Args> argsRef;
            if (!faultFor(argsFault_)) {
                argsRef = adsk::core::Ptr<Args>(&args, false);
            }
            this->session_.deliver("notify:" + traceName_, [&] { notifyThroughSlot(handler, argsRef); });
        }
    }

    void disconnect(const adsk::core::EventHandler* handler) override
    {
        handlers_.erase(
            std::remove_if(handlers_.begin(), handlers_.end(),
                           [&](Handler* h) { return static_cast<adsk::core::EventHandler*>(h) == handler; }),
            handlers_.end());
    }

private:
    // The notification as the host calls it: the function in the handler's vtable at the slot the
    // host's layout gives, not a C++ virtual call, so that a handler class whose layout drifted
    // from the host's (a virtual function more in EventHandler, say) fails every notification.
    static void notifyThroughSlot(Handler* handler, const adsk::core::Ptr<Args>& args)
    {
        using Notify = void (*)(Handler*, const adsk::core::Ptr<Args>&);
        // The object's first word is its vtable; the `this` and arguments registers of a member
        // call are those of a free function's first two arguments on x64, in both ABIs.
        const auto* const* vtable = *reinterpret_cast<const void* const* const*>(handler);
        const auto notify = reinterpret_cast<Notify>(const_cast<void*>(vtable[notificationSlot]));
        notify(handler, args);
    }

    bool faultFor(const char* point)
    {
        return commandId_.empty() ? this->session_.fault(point) : this->session_.fault(point, commandId_);
    }

    char* name_raw() const override
    {
        this->checkAlive("name");
        return nullptr;
    }

    bool add_raw(Handler* handler) override
    {
        this->checkAlive("add");
        // The fault is traced first: the entry below must be the last one while it is filled in.
        const bool refused = handler == nullptr || faultFor(addFault_);
        TraceEntry& entry = this->session_.trace("op", "addHandler").add("event", traceName_);
        entry.add("handler", handler != nullptr ? handlerClassName(*handler) : std::string());
        if (refused) {
            entry.add("added", false);
            return false;
        }
        // A second add of the same handler is refused, so the handler is never called twice
        // for one report; the add-in is told by the result.
        if (std::find(handlers_.begin(), handlers_.end(), handler) != handlers_.end()) {
            entry.add("added", false).add("duplicate", true);
            return false;
        }
        handlers_.push_back(handler);
        this->session_.connect(handler, this);
        entry.add("added", true);
        return true;
    }

    bool remove_raw(Handler* handler) override
    {
        this->checkAlive("remove");
        const auto it = std::find(handlers_.begin(), handlers_.end(), handler);
        if (it == handlers_.end()) {
            return false;
        }
        handlers_.erase(it);
        this->session_.disconnect(handler, this);
        this->session_.trace("op", "removeHandler").add("event", traceName_);
        return true;
    }

    std::string traceName_;
    const char* addFault_;
    const char* argsFault_;
    std::string commandId_;
    std::vector<Handler*> handlers_;
};

} // namespace simhost
