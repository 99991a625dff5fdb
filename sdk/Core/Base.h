// Base of every host object, and the host-text transfer helpers.
//
// Every host object is reference counted: addref() and release() are its first two virtual
// operations. Public wrappers call private *_raw operations; a text result is a host-allocated
// zero-terminated UTF-8 array that the wrapper copies and frees with DeallocateArrayInternal.
//
// The contract every host object keeps, stated once:
// - When: operations may be called only on the host's user-interface thread, from run, stop or
//   a notification the host delivers; the host calls these one at a time.
// - References: an operation that yields an object hands the caller one reference, which the
//   returned Ptr adopts and releases when it ends; "none" is an empty Ptr. The host owns the
//   object itself: it lives as long as the host keeps it, at least while a reference is held.
// - After deleteMe(): the object is gone from the host's collections and isValid() is false;
//   references to it may still be released, but any other call through it breaks the contract
//   (the simulated host records it as "callThroughDeleted" and answers as before). A second
//   deleteMe() answers false.
#pragma once

#include "Memory.h"
#include "OSMacros.h"

#include <string>

namespace adsk::core {

// Frees a text array allocated by the host. Null is accepted and ignored.
XI_CORE_API void DeallocateArrayInternal(char* array);

namespace detail {
// Copies a host text result into a std::string and frees the host's array; null reads as empty.
inline std::string takeHostText(char* text)
{
    if (text == nullptr) {
        return {};
    }
    struct Free {
        char* text;
        ~Free() { DeallocateArrayInternal(text); }
    } const owner{text};
    return {text};
}
} // namespace detail

// Only the host ends its objects (the destructor is protected); the add-in releases references.
class Base { // NOLINT(cppcoreguidelines-virtual-class-destructor)
public:
    virtual void addref() = 0;
    virtual void release() = 0;

    static const char* classType() { return "adsk::core::Base"; }
    static const char* interfaceId() { return classType(); }

    // The concrete type's classType().
    virtual const char* objectType() const = 0;
    // False once the object has been deleted in the host.
    virtual bool isValid() const = 0;

    // The object viewed as T, or null. No reference is added: the caller adds one if it keeps it.
    template <class T> T* query() const { return static_cast<T*>(queryInterface(T::interfaceId())); }

    // The object viewed as T with a reference of its own, or an empty Ptr.
    template <class T> Ptr<T> cast() const { return Ptr<T>(query<T>(), false); }

    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;

protected:
    Base() = default;
    virtual ~Base() = default;

    virtual void* queryInterface(const char* id) const = 0;
};

} // namespace adsk::core
