// The host objects of a session: owned here, from their making until the session ends or until
// compact() finds nothing can reach them, so a deleted object stays inspectable and a call
// through it is recorded instead of crashing.
#pragma once

#include "Tracked.h"

#include <memory>
#include <string>
#include <vector>

namespace simhost {

struct Services;

class Registry {
public:
    template <class T, class... Args> T& make(Services& services, Args&&... args)
    {
        auto object = std::make_unique<T>(services, std::forward<Args>(args)...);
        T& made = *object;
        objects_.push_back(std::move(object));
        return made;
    }

    [[nodiscard]] int outstandingReferences() const;
    // A label for each object the add-in holds references to, and how many.
    [[nodiscard]] std::vector<std::string> held() const;
    [[nodiscard]] std::size_t count() const { return objects_.size(); }
    // Frees what nothing can reach any more: objects deleted, or made for one action that is
    // over, with their parts, once nobody holds a reference to any of them.
    void compact();
    void clear() { objects_.clear(); }

private:
    std::vector<std::unique_ptr<Tracked>> objects_;
};

} // namespace simhost
