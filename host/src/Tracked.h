// Bookkeeping shared by every simulated host object: its reference count as held by the add-in,
// a label for reports, and whether the host has deleted it.
#pragma once

#include "Operation.h"

#include <functional>
#include <string>

namespace simhost {

struct Services;

class Tracked {
public:
    Tracked(Services& services, std::string label) : services_(services), label_(std::move(label)) {}
    virtual ~Tracked() = default;
    Tracked(const Tracked&) = delete;
    Tracked& operator=(const Tracked&) = delete;

    [[nodiscard]] int references() const { return references_; }
    [[nodiscard]] const std::string& label() const { return label_; }
    [[nodiscard]] bool deleted() const { return deleted_; }
    // Deleted, or a part of a deleted object (an event of a deleted palette): nothing on it works.
    [[nodiscard]] bool gone() const { return deleted_ || (owner_ != nullptr && owner_->gone()); }
    // The host ends it without a trace of its own (a command after its click).
    void endByHost() { deleted_ = true; }

    // An object made for one action (a command, event arguments) that nothing reaches after it.
    [[nodiscard]] bool finished() const { return finished_; }
    void markFinished() { finished_ = true; }
    // The object whose part this one is (an event of a palette, say), or null.
    [[nodiscard]] const Tracked* owner() const { return owner_; }
    void setOwner(const Tracked& owner) { owner_ = &owner; }
    // Made at the add-in's request (a definition, a control, a palette), not by the host.
    [[nodiscard]] bool madeByAddin() const { return madeByAddin_; }
    void markMadeByAddin() { madeByAddin_ = true; }

protected:
    void addReference() { ++references_; }
    void releaseReference();
    // False, and the call noted as one from the wrong thread, off the host's thread: the host's
    // manual forbids calls from other threads, so none is carried out.
    [[nodiscard]] bool onHostThread(const Operation& operation) const;
    // False, and a contract violation recorded, off the host's thread or when the add-in calls
    // the operation through an object the host deleted: no other functionality of a deleted
    // object works.
    [[nodiscard]] bool alive(const Operation& operation) const;
    // The operation's fault takes effect at this call (of that command's object).
    [[nodiscard]] bool faultFires(const Operation& operation, const std::string& commandId = {}) const;
    // An operation that yields object: answered with a reference for the add-in, or none when
    // this object was deleted or the operation's fault takes effect.
    template <class Object>
    auto* answer(const Operation& operation, const Object& object, const std::string& commandId = {}) const
    {
        return !alive(operation) || faultFires(operation, commandId) ? nullptr : object.handOut();
    }
    // The host's deleteMe: the first call detaches the object from its collection and is traced
    // as {"op":"deleteMe","kind":kind,"id":id}; later calls are refused (false).
    bool deleteFromHost(const Operation& operation, const char* kind, const std::string& id,
                        const std::function<void()>& detach);

    Services& services_;

private:
    std::string label_;
    int references_ = 0;
    bool deleted_ = false;
    bool finished_ = false;
    bool madeByAddin_ = false;
    const Tracked* owner_ = nullptr;
};

} // namespace simhost
