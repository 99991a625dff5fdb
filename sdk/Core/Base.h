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
//   references to it may still be released, but no other functionality on it works: a call fails
//   (none, false, empty), and the simulated host records it as "callThroughDeleted". A second
//   deleteMe() answers false. The same holds for an object the host deleted itself (a palette at a
//   workspace switch, a command after its destroy) and for the parts of a deleted object (its
//   events).
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

namespace Ns {
class UniqueString; // the host's interned interface ids; the add-in asks by text
} // namespace Ns

// Slots 0-2 of every host object: its reference count (addref, release, refcount).
class ReferenceCounted { // NOLINT(cppcoreguidelines-virtual-class-destructor): ended through Base
    // Host vtable slots of ReferenceCounted (written from sdk/abi/HostVtables.txt).
    // clang-format off
public:
    virtual void addref() = 0; // 0
    virtual void release() = 0; // 1
    virtual int refcount() const = 0; // 2
private:
    // clang-format on
    // End of the host vtable slots of ReferenceCounted.

protected:
    ReferenceCounted() = default;
    ~ReferenceCounted() = default;
    ReferenceCounted(const ReferenceCounted&) = default;
    ReferenceCounted& operator=(const ReferenceCounted&) = default;
};

// Only the host ends its objects (the destructor is protected); the add-in releases references.
// objectType() is the concrete type's classType(); isValid() is false once the object has been
// deleted in the host; queryInterface answers the object viewed as the interface of an id, or
// null.
class Base : public ReferenceCounted { // NOLINT(cppcoreguidelines-virtual-class-destructor)
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }

    // The object viewed as T, or null. No reference is added: the caller adds one if it keeps it.
    template <class T> T* query() const { return static_cast<T*>(queryInterface(T::interfaceId())); }

    // The object viewed as T with a reference of its own, or an empty Ptr.
    template <class T> Ptr<T> cast() const { return Ptr<T>(query<T>(), false); }

    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;

protected:
    Base() = default;

private:
    // Host vtable slots of Base (written from sdk/abi/HostVtables.txt).
    // clang-format off
public:
    virtual const char* objectType() const = 0; // 3
    virtual bool isValid() const = 0; // 4
protected:
    virtual ~Base() = default; // 5
    virtual void* queryInterface(const char* id) const = 0; // 7
    virtual void* queryInterface(const Ns::UniqueString* id) const; // 6
private:
    virtual void placeholderBase0(); // 8
    virtual void placeholderBase1(); // 9
    virtual void placeholderBase2(); // 10
    virtual void placeholderBase3(); // 11
    virtual void placeholderBase4(); // 12
    virtual void placeholderBase5(); // 13
    virtual void placeholderBase6(); // 14
    virtual void placeholderBase7(); // 15
    virtual void placeholderBase8(); // 16
    virtual void placeholderBase9(); // 17
    virtual void placeholderBase10(); // 18
    virtual void placeholderBase11(); // 19
    virtual void placeholderBase12(); // 20
    virtual void placeholderBase13(); // 21
    virtual void placeholderBase14(); // 22
    virtual void placeholderBase15(); // 23
    // clang-format on
    // End of the host vtable slots of Base.
};

} // namespace adsk::core
