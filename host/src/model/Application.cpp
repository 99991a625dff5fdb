#include "Application.h"

#include "../FaultPoints.h"
#include "HostText.h"

#include <cstring>

namespace simhost {

core::UserLanguages GeneralPreferencesImpl::userLanguage_raw() const
{
    checkAlive("userLanguage");
    return static_cast<core::UserLanguages>(session_.options().language);
}

PreferencesImpl::PreferencesImpl(SessionState& session)
    : Counted(session, "Preferences"), general_(session.make<GeneralPreferencesImpl>())
{
}

core::GeneralPreferences* PreferencesImpl::generalPreferences_raw() const
{
    checkAlive("generalPreferences");
    return session_.fault(faults::preferencesGeneralPreferences) ? nullptr : general_.handOut();
}

AppImpl::AppImpl(SessionState& session)
    : Counted(session, "Application"), ui_(session.make<UserInterfaceImpl>()),
      preferences_(session.make<PreferencesImpl>()),
      online_(session.make<ApplicationEventImpl>("onlineStatusChanged", faults::applicationEventAdd,
                                                 faults::applicationEventArgs))
{
}

core::UserInterface* AppImpl::userInterface_raw() const
{
    checkAlive("userInterface");
    return session_.fault(faults::applicationUserInterface) ? nullptr : ui_.handOut();
}

core::Preferences* AppImpl::preferences_raw() const
{
    checkAlive("preferences");
    return session_.fault(faults::applicationPreferences) ? nullptr : preferences_.handOut();
}

bool AppImpl::isOffLine_raw() const
{
    checkAlive("isOffLine");
    return session_.offline();
}

core::ApplicationEvent* AppImpl::onlineStatusChanged_raw() const
{
    checkAlive("onlineStatusChanged");
    return session_.fault(faults::applicationOnlineStatusChanged) ? nullptr : online_.handOut();
}

char* AppImpl::executeTextCommand_raw(const char* command) const
{
    checkAlive("executeTextCommand");
    const auto& entitlement = session_.options().entitlement;
    if (session_.fault(faults::applicationExecuteTextCommand) || std::strcmp(command, "Debug.EntitlementString") != 0 ||
        !entitlement) {
        return nullptr;
    }
    return hostText(*entitlement);
}

} // namespace simhost
