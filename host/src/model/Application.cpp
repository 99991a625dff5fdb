#include "Application.h"

#include "../TextResults.h"
#include "HostOperations.h"

#include <cstring>

namespace simhost {

core::UserLanguages GeneralPreferencesImpl::userLanguage_raw() const
{
    return alive(operations::generalPreferencesUserLanguage)
               ? static_cast<core::UserLanguages>(services_.options.language)
               : core::UserLanguages{};
}

PreferencesImpl::PreferencesImpl(Services& services)
    : Counted(services, "Preferences"), general_(services.make<GeneralPreferencesImpl>())
{
}

core::GeneralPreferences* PreferencesImpl::generalPreferences_raw() const
{
    return answer(operations::preferencesGeneralPreferences, general_);
}

AppImpl::AppImpl(Services& services)
    : Counted(services, "Application"), ui_(services.make<UserInterfaceImpl>()),
      preferences_(services.make<PreferencesImpl>()),
      online_(services.make<ApplicationEventImpl>(
          "onlineStatusChanged", EventOperations{operations::applicationEventAdd, operations::applicationEventRemove,
                                                 operations::applicationEventArgs}))
{
    if (current_ != nullptr) {
        throw UsageError("a host session is already running");
    }
    current_ = this;
}

AppImpl::~AppImpl() { current_ = nullptr; }

core::UserInterface* AppImpl::userInterface_raw() const { return answer(operations::applicationUserInterface, ui_); }

core::Preferences* AppImpl::preferences_raw() const { return answer(operations::applicationPreferences, preferences_); }

bool AppImpl::isOffLine_raw() const { return alive(operations::applicationIsOffLine) && services_.offline; }

core::ApplicationEvent* AppImpl::onlineStatusChanged_raw() const
{
    return answer(operations::applicationOnlineStatusChanged, online_);
}

char* AppImpl::executeTextCommand_raw(const char* command) const
{
    const auto& entitlement = services_.options.entitlement;
    if (!alive(operations::applicationExecuteTextCommand) || faultFires(operations::applicationExecuteTextCommand) ||
        command == nullptr || std::strcmp(command, "Debug.EntitlementString") != 0 || !entitlement) {
        return nullptr;
    }
    return textResult(*entitlement);
}

} // namespace simhost
