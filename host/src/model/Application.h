// The application, its preferences and its on-line status event (sdk: Core/Application/…).
#pragma once

#include "UserInterface.h"

namespace simhost {

using ApplicationEventImpl =
    EventImpl<core::ApplicationEvent, core::ApplicationEventHandler, core::ApplicationEventArgs>;

class GeneralPreferencesImpl final : public Counted<core::GeneralPreferences> {
public:
    explicit GeneralPreferencesImpl(Host& host) : Counted(host, "GeneralPreferences") {}

private:
    core::UserLanguages userLanguage_raw() const override;
};

class PreferencesImpl final : public Counted<core::Preferences> {
public:
    explicit PreferencesImpl(Host& host);

private:
    core::GeneralPreferences* generalPreferences_raw() const override;
    GeneralPreferencesImpl& general_;
};

class ApplicationEventArgsImpl final : public Counted<core::ApplicationEventArgs> {
public:
    ApplicationEventArgsImpl(Host& host, bool offline) : Counted(host, "ApplicationEventArgs"), offline_(offline) {}

private:
    bool isOffLine_raw() const override { return offline_; }
    bool offline_;
};

class AppImpl final : public Counted<core::Application> {
public:
    explicit AppImpl(Host& host);
    UserInterfaceImpl& ui() { return ui_; }
    ApplicationEventImpl& onlineEvent() { return online_; }

private:
    core::UserInterface* userInterface_raw() const override;
    core::Preferences* preferences_raw() const override;
    bool isOffLine_raw() const override;
    core::ApplicationEvent* onlineStatusChanged_raw() const override;
    char* executeTextCommand_raw(const char* command) const override;

    UserInterfaceImpl& ui_;
    PreferencesImpl& preferences_;
    ApplicationEventImpl& online_;
};

} // namespace simhost
