#include "Tracked.h"

#include "Services.h"

namespace simhost {

void Tracked::releaseReference()
{
    if (references_ == 0) {
        services_.recorder.violation("releaseWithoutReference", label_);
        return;
    }
    --references_;
    if (services_.unloading) {
        services_.recorder.journal("release " + label_);
    }
}

bool Tracked::onHostThread(const Operation& operation) const
{
    if (services_.foreign.onHostThread()) {
        return true;
    }
    services_.foreign.note(label_ + "." + operation.name);
    return false;
}

bool Tracked::alive(const Operation& operation) const
{
    if (!onHostThread(operation)) {
        return false;
    }
    if (gone()) {
        services_.recorder.violation("callThroughDeleted", label_ + "." + operation.name);
    }
    return !gone();
}

bool Tracked::faultFires(const Operation& operation, const std::string& commandId) const
{
    return services_.faults.fires(operation, commandId);
}

bool Tracked::deleteFromHost(const Operation& operation, const char* kind, const std::string& id,
                             const std::function<void()>& detach)
{
    if (!alive(operation)) {
        return false;
    }
    deleted_ = true;
    detach();
    services_.recorder.trace("op", "deleteMe").add("kind", kind).add("id", id);
    return true;
}

} // namespace simhost
