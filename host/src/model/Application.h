// The application, its preferences and its on-line status event (sdk: Core/Application/…); through
// its user interface, the whole object model an add-in reaches.
#pragma once

#include "UserInterface.h"

namespace simhost {

using ApplicationEventImpl =
    EventImpl<core::ApplicationEvent, core::ApplicationEventHandler, core::ApplicationEventArgs>;

class GeneralPreferencesImpl final : public Counted<core::GeneralPreferences> {
public:
    explicit GeneralPreferencesImpl(Services& services) : Counted(services, "GeneralPreferences") {}

private:
    core::UserLanguages userLanguage_raw() const override;
};

class PreferencesImpl final : public Counted<core::Preferences> {
public:
    explicit PreferencesImpl(Services& services);

private:
    core::GeneralPreferences* generalPreferences_raw() const override;
    GeneralPreferencesImpl& general_;
};

class ApplicationEventArgsImpl final : public Counted<core::ApplicationEventArgs> {
public:
    ApplicationEventArgsImpl(Services& services, bool offline)
        : Counted(services, "ApplicationEventArgs"), offline_(offline)
    {
    }

private:
    bool isOffLine_raw() const override { return alive(operations::applicationEventArgsIsOffLine) && offline_; }
    bool offline_;
};

// The application of the one session there is: what Application::get_raw answers, and what the
// host's other exported code reaches the session through. Throws UsageError when a session is
// running already.
class AppImpl final : public Counted<core::Application> {
public:
    explicit AppImpl(Services& services);
    ~AppImpl() override;
    AppImpl(const AppImpl&) = delete;
    AppImpl& operator=(const AppImpl&) = delete;
    [[nodiscard]] static AppImpl* current() { return current_; }
    [[nodiscard]] Services& services() const { return services_; }
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
    static inline AppImpl* current_ = nullptr; // the process's one pointer to a session
};

} // namespace simhost
