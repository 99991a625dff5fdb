#include "Tracked.h"

#include "SessionState.h"

namespace simhost {

void Tracked::addReference() { ++references_; }

void Tracked::releaseReference()
{
    if (references_ == 0) {
        session_.violation("releaseWithoutReference", label_);
        return;
    }
    --references_;
    if (session_.unloading()) {
        session_.journal("release " + label_);
    }
}

void Tracked::checkAlive(const char* operation) const
{
    if (deleted_) {
        session_.violation("callThroughDeleted", label_ + "." + operation);
    }
}

bool Tracked::deleteFromHost(const char* kind, const std::string& id, const std::function<void()>& detach)
{
    checkAlive("deleteMe");
    if (deleted_) {
        return false;
    }
    deleted_ = true;
    detach();
    session_.trace("op", "deleteMe").add("kind", kind).add("id", id);
    return true;
}

} // namespace simhost
