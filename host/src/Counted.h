// Counted<Interface>: implements the Base part of a host interface for the simulated host.
//
// Objects are owned by the session's registry and live until the session ends, so a deleted
// object stays inspectable and a call through it can be reported instead of crashing. Off the
// host's thread nothing is carried out, not even a reference counted.
#pragma once

#include "HostOperations.h"
#include "Tracked.h"

#include <Core/Base.h>

#include <cstring>

namespace simhost {

// Whether an object of the class of that type name is one of the class of the id: the class
// itself or one it derives from (sdk/abi/HostVtables.txt gives the bases).
inline bool isA(const char* type, const char* id)
{
    while (id != nullptr && *type != '\0') {
        if (std::strcmp(type, id) == 0) {
            return true;
        }
        const char* base = "";
        for (const HostClass& each : operations::hostClasses) {
            if (std::strcmp(each.type, type) == 0) {
                base = each.base;
            }
        }
        type = base;
    }
    return false;
}

template <class Interface> class Counted : public Interface, public Tracked {
public:
    using Tracked::Tracked;

    void addref() override
    {
        if (onHostThread(operations::referenceCountedAddref)) {
            addReference();
        }
    }
    void release() override
    {
        if (onHostThread(operations::referenceCountedRelease)) {
            releaseReference();
        }
    }
    int refcount() const override { return onHostThread(operations::referenceCountedRefcount) ? references() : 0; }
    const char* objectType() const override
    {
        return onHostThread(operations::baseObjectType) ? Interface::classType() : nullptr;
    }
    bool isValid() const override { return onHostThread(operations::baseIsValid) && !gone(); }

    // One reference for the add-in, as every host operation that yields an object hands it.
    [[nodiscard]] Interface* handOut() const
    {
        auto* self = const_cast<Counted*>(this);
        self->addReference();
        return self;
    }

protected:
    using Interface::queryInterface; // the by-id overload stays the Base's
    // The object as the class of the id, or one it derives from: one inheritance line, so every
    // one of them is this same address.
    void* queryInterface(const char* id) const override
    {
        if (!onHostThread(operations::baseQueryInterface) || !isA(Interface::classType(), id)) {
            return nullptr;
        }
        return const_cast<Interface*>(static_cast<const Interface*>(this));
    }
};

} // namespace simhost
