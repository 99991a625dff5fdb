// Host references the add-in keeps between the host's calls.
#pragma once

#include <Core/CoreAll.h>

#include <utility>

namespace trelvik {

// Stores obtained into member: the same object changes nothing; otherwise the held object is
// released and the new one held (none empties the member).
template <class T> void storeReference(adsk::core::Ptr<T>& member, adsk::core::Ptr<T> obtained)
{
    if (member.get() != obtained.get()) {
        member = std::move(obtained);
    }
}

} // namespace trelvik
