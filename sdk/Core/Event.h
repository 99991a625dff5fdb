// Event and EventArgs: the common bases of the host's typed events and their arguments.
//
// A typed event's add(handler) registers a handler object by address and answers true when the
// host accepted it; the add-in keeps the handler alive for as long as the host may call it (the
// handler's destructor removes it from every event). Adding a handler that is already added to
// the same event is refused (false), so one firing never calls it twice; remove(handler) answers
// false for one that is not added. Notifications run one at a time on the user-interface thread.
// Event arguments are owned by the host for the duration of the notification (they may be
// empty); a handler neither keeps nor releases them.
#pragma once

#include "Base.h"

namespace adsk::core {

class Event : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    std::string name() const { return detail::takeHostText(name_raw()); }

private:
    // Host vtable slots of Event (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual char* name_raw() const = 0; // 24
    virtual void* unused25() const; // 25
    virtual void placeholderEvent0(); // 26
    virtual void placeholderEvent1(); // 27
    virtual void placeholderEvent2(); // 28
    virtual void placeholderEvent3(); // 29
    virtual void placeholderEvent4(); // 30
    virtual void placeholderEvent5(); // 31
    virtual void placeholderEvent6(); // 32
    virtual void placeholderEvent7(); // 33
    virtual void placeholderEvent8(); // 34
    virtual void placeholderEvent9(); // 35
    virtual void placeholderEvent10(); // 36
    virtual void placeholderEvent11(); // 37
    virtual void placeholderEvent12(); // 38
    virtual void placeholderEvent13(); // 39
    virtual void placeholderEvent14(); // 40
    virtual void placeholderEvent15(); // 41
    virtual void placeholderEvent16(); // 42
    virtual void placeholderEvent17(); // 43
    virtual void placeholderEvent18(); // 44
    virtual void placeholderEvent19(); // 45
    virtual void placeholderEvent20(); // 46
    virtual void placeholderEvent21(); // 47
    virtual void placeholderEvent22(); // 48
    virtual void placeholderEvent23(); // 49
    virtual void placeholderEvent24(); // 50
    virtual void placeholderEvent25(); // 51
    virtual void placeholderEvent26(); // 52
    virtual void placeholderEvent27(); // 53
    virtual void placeholderEvent28(); // 54
    virtual void placeholderEvent29(); // 55
    // clang-format on
    // End of the host vtable slots of Event.
};

class EventArgs : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }

private:
    // Host vtable slots of EventArgs (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual void* unused24() const; // 24
    virtual void placeholderEventArgs0(); // 25
    virtual void placeholderEventArgs1(); // 26
    virtual void placeholderEventArgs2(); // 27
    virtual void placeholderEventArgs3(); // 28
    virtual void placeholderEventArgs4(); // 29
    virtual void placeholderEventArgs5(); // 30
    virtual void placeholderEventArgs6(); // 31
    virtual void placeholderEventArgs7(); // 32
    virtual void placeholderEventArgs8(); // 33
    virtual void placeholderEventArgs9(); // 34
    virtual void placeholderEventArgs10(); // 35
    virtual void placeholderEventArgs11(); // 36
    virtual void placeholderEventArgs12(); // 37
    virtual void placeholderEventArgs13(); // 38
    virtual void placeholderEventArgs14(); // 39
    virtual void placeholderEventArgs15(); // 40
    virtual void placeholderEventArgs16(); // 41
    virtual void placeholderEventArgs17(); // 42
    virtual void placeholderEventArgs18(); // 43
    virtual void placeholderEventArgs19(); // 44
    virtual void placeholderEventArgs20(); // 45
    virtual void placeholderEventArgs21(); // 46
    virtual void placeholderEventArgs22(); // 47
    virtual void placeholderEventArgs23(); // 48
    virtual void placeholderEventArgs24(); // 49
    virtual void placeholderEventArgs25(); // 50
    virtual void placeholderEventArgs26(); // 51
    virtual void placeholderEventArgs27(); // 52
    virtual void placeholderEventArgs28(); // 53
    virtual void placeholderEventArgs29(); // 54
    virtual void placeholderEventArgs30(); // 55
    // clang-format on
    // End of the host vtable slots of EventArgs.
};

} // namespace adsk::core
