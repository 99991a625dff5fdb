// Preferences and their general part, which carries the user-interface language.
#pragma once

#include "../Base.h"
#include "../CoreTypeDefs.h"

namespace adsk::core {

class GeneralPreferences : public Base {
public:
    static const char* classType() { return "adsk::core::GeneralPreferences"; }
    static const char* interfaceId() { return classType(); }
    UserLanguages userLanguage() const { return userLanguage_raw(); }

private:
    virtual UserLanguages userLanguage_raw() const = 0;
};

class Preferences : public Base {
public:
    static const char* classType() { return "adsk::core::Preferences"; }
    static const char* interfaceId() { return classType(); }
    Ptr<GeneralPreferences> generalPreferences() const { return Ptr<GeneralPreferences>(generalPreferences_raw()); }

private:
    virtual GeneralPreferences* generalPreferences_raw() const = 0;
};

} // namespace adsk::core
