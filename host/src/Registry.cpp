#include "Registry.h"

#include <map>
#include <numeric>

namespace simhost {

int Registry::outstandingReferences() const
{
    return std::accumulate(objects_.begin(), objects_.end(), 0,
                           [](int sum, const auto& object) { return sum + object->references(); });
}

std::vector<std::string> Registry::held() const
{
    std::vector<std::string> held;
    for (const auto& object : objects_) {
        if (object->references() > 0) {
            held.push_back(object->label() + " x" + std::to_string(object->references()));
        }
    }
    return held;
}

void Registry::compact()
{
    // An object and its parts go together, and only when nobody holds any of them.
    std::map<const Tracked*, bool> collectable;
    for (const auto& object : objects_) {
        if (object->owner() == nullptr && (object->deleted() || object->finished())) {
            collectable[object.get()] = object->references() == 0;
        }
    }
    for (const auto& object : objects_) {
        if (const auto it = collectable.find(object->owner()); it != collectable.end() && object->references() > 0) {
            it->second = false;
        }
    }
    const auto goes = [&](const std::unique_ptr<Tracked>& object) {
        const Tracked* root = object->owner() != nullptr ? object->owner() : object.get();
        const auto it = collectable.find(root);
        return it != collectable.end() && it->second;
    };
    // Parts first: their destructors may still look at their owner.
    std::erase_if(objects_, [&](const auto& object) { return object->owner() != nullptr && goes(object); });
    std::erase_if(objects_, goes);
}

} // namespace simhost
