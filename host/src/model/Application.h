// The application, its preferences and its on-line status event (sdk: Core/Application/…).
#pragma once

#include "../UnusedSlot.h"
#include "UserInterface.h"

namespace simhost {

using ApplicationEventImpl =
    EventImpl<core::ApplicationEvent, core::ApplicationEventHandler, core::ApplicationEventArgs>;

class GeneralPreferencesImpl final : public Counted<core::GeneralPreferences> {
public:
    explicit GeneralPreferencesImpl(SessionState& session) : Counted(session, "GeneralPreferences") {}

private:
    core::UserLanguages userLanguage_raw() const override;
    // The add-in only reads the language.
    bool userLanguage_raw(core::UserLanguages /*value*/) override
    {
        return unusedSlot("GeneralPreferences", 24) != nullptr;
    }
};

class PreferencesImpl final : public Counted<core::Preferences> {
public:
    explicit PreferencesImpl(SessionState& session);

private:
    core::GeneralPreferences* generalPreferences_raw() const override;
    GeneralPreferencesImpl& general_;
};

class ApplicationEventArgsImpl final : public Counted<core::ApplicationEventArgs> {
public:
    ApplicationEventArgsImpl(SessionState& session, bool offline)
        : Counted(session, "ApplicationEventArgs"), offline_(offline)
    {
    }

private:
    bool isOffLine_raw() const override { return offline_; }
    // Arguments are the host's report: nothing to set.
    bool isOffLine_raw(bool /*value*/) override { return unusedSlot("ApplicationEventArgs", 56) != nullptr; }
    bool offline_;
};

class AppImpl final : public Counted<core::Application> {
public:
    explicit AppImpl(SessionState& session);
    UserInterfaceImpl& ui() { return ui_; }
    ApplicationEventImpl& onlineEvent() { return online_; }

private:
    core::UserInterface* userInterface_raw() const override;
    core::Preferences* preferences_raw() const override;
    bool isOffLine_raw() const override;
    // Going off-line is the user's choice, never an add-in's.
    bool isOffLine_raw(bool /*value*/) override { return unusedSlot("Application", 44) != nullptr; }
    core::ApplicationEvent* onlineStatusChanged_raw() const override;
    char* executeTextCommand_raw(const char* command) const override;

    UserInterfaceImpl& ui_;
    PreferencesImpl& preferences_;
    ApplicationEventImpl& online_;
};

} // namespace simhost
