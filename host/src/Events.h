// EventImpl: a host event with its registered handlers, fault points and trace entries.
#pragma once

#include "Counted.h"
#include "HandlerName.h"
#include "HostOperations.h"
#include "Services.h"
#include "TextResults.h"

#include <algorithm>
#include <string>
#include <vector>

namespace simhost {

// Where a handler's notification stands in its vtable: the host's slot (sdk/abi/HostVtables.txt),
// after the one destructor entry of the Microsoft ABI; the Itanium ABI of the GCC builds gives the
// destructor two entries (complete and deleting), one slot more.
#if defined(_MSC_VER)
inline constexpr std::size_t notificationSlot = operations::notificationSlot;
#else
inline constexpr std::size_t notificationSlot = operations::notificationSlot + 1;
#endif

// The operations of one event class (generated/HostOperations.h).
struct EventOperations {
    const Operation& add;
    const Operation& remove;
    const Operation& args; // the fault point of delivering empty arguments
};

// Interface: the sdk event class; Handler: its handler base; Args: its argument class.
// commandId qualifies the fault points for the events of one command (empty for the others).
// Destroyed through Tracked, whose destructor is virtual; HandlerSlot's is protected on purpose.
template <class Interface, class Handler, class Args>
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class EventImpl final : public Counted<Interface>, public HandlerSlot {
public:
    EventImpl(Services& services, std::string traceName, EventOperations operations, std::string commandId = {})
        : Counted<Interface>(services, "Event " + traceName), traceName_(std::move(traceName)), operations_(operations),
          commandId_(std::move(commandId)), name_(traceName_.substr(0, traceName_.find(':')))
    {
        // The host's name of the event: "onlineStatusChanged" is "OnlineStatusChanged".
        if (!name_.empty() && name_[0] >= 'a' && name_[0] <= 'z') {
            name_[0] = static_cast<char>(name_[0] - 'a' + 'A');
        }
    }

    ~EventImpl() override
    {
        for (Handler* handler : handlers_) {
            this->services_.connections.disconnect(handler, this);
        }
    }

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
            if (!this->services_.faults.fires(operations_.args, commandId_)) {
                argsRef = adsk::core::Ptr<Args>(&args, false);
            }
            this->services_.deliver("notify:" + traceName_, [&] { notifyThroughSlot(handler, argsRef); });
        }
    }

    void disconnect(const adsk::core::EventHandler* handler) override
    {
        std::erase_if(handlers_, [&](Handler* h) { return static_cast<adsk::core::EventHandler*>(h) == handler; });
    }
    [[nodiscard]] const std::string& eventName() const override { return traceName_; }

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

    char* name_raw() const override { return this->alive(operations::eventName) ? textResult(name_) : nullptr; }

    bool add_raw(Handler* handler) override
    {
        if (!this->alive(operations_.add)) {
            return false;
        }
        // The fault is traced first: the entry below must be the last one while it is filled in.
        const bool refused = handler == nullptr || this->services_.faults.fires(operations_.add, commandId_);
        TraceEntry& entry = this->services_.recorder.trace("op", "addHandler").add("event", traceName_);
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
        this->services_.connections.connect(handler, this, entry.text("handler"));
        entry.add("added", true);
        return true;
    }

    bool remove_raw(Handler* handler) override
    {
        if (!this->alive(operations_.remove)) {
            return false;
        }
        const auto it = std::find(handlers_.begin(), handlers_.end(), handler);
        if (it == handlers_.end()) {
            return false;
        }
        handlers_.erase(it);
        this->services_.connections.disconnect(handler, this);
        this->services_.recorder.trace("op", "removeHandler").add("event", traceName_);
        return true;
    }

    std::string traceName_;
    EventOperations operations_;
    std::string commandId_;
    std::string name_;
    std::vector<Handler*> handlers_;
};

} // namespace simhost
