#include "Application.h"

#include "HostOperations.h"
#include "HostText.h"

#include <cstring>

namespace simhost {

core::UserLanguages GeneralPreferencesImpl::userLanguage_raw() const
{
    checkAlive(operations::generalPreferencesUserLanguage);
    return static_cast<core::UserLanguages>(host_.options().language);
}

PreferencesImpl::PreferencesImpl(Host& host)
    : Counted(host, "Preferences"), general_(host.make<GeneralPreferencesImpl>())
{
}

core::GeneralPreferences* PreferencesImpl::generalPreferences_raw() const
{
    return answer(operations::preferencesGeneralPreferences, general_);
}

AppImpl::AppImpl(Host& host)
    : Counted(host, "Application"), ui_(host.make<UserInterfaceImpl>()), preferences_(host.make<PreferencesImpl>()),
      online_(host.make<ApplicationEventImpl>("onlineStatusChanged", EventOperations{operations::applicationEventAdd,
                                                                                     operations::applicationEventRemove,
                                                                                     operations::applicationEventArgs}))
{
}

core::UserInterface* AppImpl::userInterface_raw() const { return answer(operations::applicationUserInterface, ui_); }

core::Preferences* AppImpl::preferences_raw() const { return answer(operations::applicationPreferences, preferences_); }

bool AppImpl::isOffLine_raw() const
{
    checkAlive(operations::applicationIsOffLine);
    return host_.offline();
}

core::ApplicationEvent* AppImpl::onlineStatusChanged_raw() const
{
    return answer(operations::applicationOnlineStatusChanged, online_);
}

char* AppImpl::executeTextCommand_raw(const char* command) const
{
    checkAlive(operations::applicationExecuteTextCommand);
    const auto& entitlement = host_.options().entitlement;
    if (faultFires(operations::applicationExecuteTextCommand) || std::strcmp(command, "Debug.EntitlementString") != 0 ||
        !entitlement) {
        return nullptr;
    }
    return hostText(*entitlement);
}

} // namespace simhost
