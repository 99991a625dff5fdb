// Bookkeeping shared by every simulated host object: its reference count as held by the add-in,
// a label for reports, and whether the host has deleted it.
#pragma once

#include <functional>
#include <string>

namespace simhost {

class SessionState;

class Tracked {
public:
    Tracked(SessionState& session, std::string label) : session_(session), label_(std::move(label)) {}
    virtual ~Tracked() = default;
    Tracked(const Tracked&) = delete;
    Tracked& operator=(const Tracked&) = delete;

    [[nodiscard]] int references() const { return references_; }
    [[nodiscard]] const std::string& label() const { return label_; }
    [[nodiscard]] bool deleted() const { return deleted_; }
    void markDeleted() { deleted_ = true; }

    // An object made for one action (a command, event arguments) that nothing reaches after it.
    [[nodiscard]] bool finished() const { return finished_; }
    void markFinished() { finished_ = true; }
    // The object whose part this one is (an event of a palette, say), or null.
    [[nodiscard]] const Tracked* owner() const { return owner_; }
    void setOwner(const Tracked& owner) { owner_ = &owner; }

protected:
    void addReference();
    void releaseReference();
    // Records a contract violation when the add-in calls through a deleted object.
    void checkAlive(const char* operation) const;
    // The host's deleteMe: the first call detaches the object from its collection and is traced
    // as {"op":"deleteMe","kind":kind,"id":id}; later calls are refused (false).
    bool deleteFromHost(const char* kind, const std::string& id, const std::function<void()>& detach);

    SessionState& session_;

private:
    std::string label_;
    int references_ = 0;
    bool deleted_ = false;
    bool finished_ = false;
    const Tracked* owner_ = nullptr;
};

} // namespace simhost
