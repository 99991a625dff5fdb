// The objects of one kind that a host collection holds, in order, found by their id.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace simhost {

// T has `const std::string& id() const`. The list holds, never owns (the session's registry does).
template <class T> class IdList {
public:
    [[nodiscard]] T* find(const std::string& id) const
    {
        const auto it = std::find_if(items_.begin(), items_.end(), [&](const T* item) { return item->id() == id; });
        return it != items_.end() ? *it : nullptr;
    }
    void add(T& item) { items_.push_back(&item); }
    // Inserts before the item with that id (at the end when there is none); after it with after.
    void insertAt(T& item, const std::string& anchorId, bool after)
    {
        auto it = std::find_if(items_.begin(), items_.end(), [&](const T* held) { return held->id() == anchorId; });
        if (it != items_.end() && after) {
            ++it;
        }
        items_.insert(it, &item);
    }
    void remove(const T& item) { items_.erase(std::remove(items_.begin(), items_.end(), &item), items_.end()); }
    [[nodiscard]] const std::vector<T*>& items() const { return items_; }

private:
    std::vector<T*> items_;
};

} // namespace simhost
