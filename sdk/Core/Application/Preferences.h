// Preferences and their general part, which carries the user-interface language.
#pragma once

#include "../Base.h"
#include "../CoreTypeDefs.h"

namespace adsk::core {

class GeneralPreferences : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    UserLanguages userLanguage() const { return userLanguage_raw(); }

private:
    // Host vtable slots of GeneralPreferences (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual UserLanguages userLanguage_raw() const = 0; // 25
    virtual bool userLanguage_raw(UserLanguages value); // 24
    virtual void* unused26() const; // 26
    virtual double unused27() const; // 27
    virtual void* unused28() const; // 28
    virtual void* unused29() const; // 29
    virtual void* unused30() const; // 30
    virtual void* unused31() const; // 31
    virtual void* unused32() const; // 32
    virtual void* unused33() const; // 33
    virtual void* unused34() const; // 34
    virtual void* unused35() const; // 35
    virtual void* unused36() const; // 36
    virtual void* unused37() const; // 37
    virtual void* unused38() const; // 38
    virtual void* unused39() const; // 39
    virtual void* unused40() const; // 40
    virtual void* unused41() const; // 41
    virtual void* unused42() const; // 42
    virtual void* unused43() const; // 43
    virtual void* unused44() const; // 44
    virtual void* unused45() const; // 45
    virtual void* unused46() const; // 46
    virtual void* unused47() const; // 47
    virtual void* unused48() const; // 48
    virtual void* unused49() const; // 49
    virtual void* unused50() const; // 50
    virtual void* unused51() const; // 51
    virtual void* unused52() const; // 52
    virtual void* unused53() const; // 53
    virtual void* unused54() const; // 54
    virtual void* unused55() const; // 55
    virtual void* unused56() const; // 56
    virtual void* unused57() const; // 57
    virtual void* unused58() const; // 58
    virtual void* unused59() const; // 59
    virtual void* unused60() const; // 60
    virtual void* unused61() const; // 61
    // clang-format on
    // End of the host vtable slots of GeneralPreferences.
};

class Preferences : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    Ptr<GeneralPreferences> generalPreferences() const { return Ptr<GeneralPreferences>(generalPreferences_raw()); }

private:
    // Host vtable slots of Preferences (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual GeneralPreferences* generalPreferences_raw() const = 0; // 24
    virtual void* unused25() const; // 25
    virtual void* unused26() const; // 26
    virtual void* unused27() const; // 27
    virtual void* unused28() const; // 28
    virtual void* unused29() const; // 29
    virtual void* unused30() const; // 30
    virtual void* unused31() const; // 31
    virtual void* unused32() const; // 32
    // clang-format on
    // End of the host vtable slots of Preferences.
};

} // namespace adsk::core
