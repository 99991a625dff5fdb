// Counted<Interface>: implements the Base part of a host interface for the simulated host.
//
// Objects are owned by the session's registry and live until the session ends, so a deleted
// object stays inspectable and a call through it can be reported instead of crashing.
#pragma once

#include "Tracked.h"

#include <Core/Base.h>

#include <cstring>

namespace simhost {

template <class Interface> class Counted : public Interface, public Tracked {
public:
    using Tracked::Tracked;

    void addref() override { addReference(); }
    void release() override { releaseReference(); }
    int refcount() const override { return references(); }
    const char* objectType() const override { return Interface::classType(); }
    bool isValid() const override { return !deleted(); }

    // One reference for the add-in, as every host operation that yields an object hands it.
    [[nodiscard]] Interface* handOut() const
    {
        auto* self = const_cast<Counted*>(this);
        self->addReference();
        return self;
    }

protected:
    using Interface::queryInterface; // the by-id overload stays the Base's
    void* queryInterface(const char* id) const override
    {
        if (std::strcmp(id, Interface::interfaceId()) == 0 || std::strcmp(id, adsk::core::Base::interfaceId()) == 0) {
            return const_cast<Interface*>(static_cast<const Interface*>(this));
        }
        return nullptr;
    }
};

} // namespace simhost
