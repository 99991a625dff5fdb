// Application: the root of the host's object model.
#pragma once

#include "../Base.h"
#include "ApplicationEvents.h"
#include "Preferences.h"

namespace adsk::core {

class UserInterface;

class Application : public Base {
public:
    static const char* classType() { return "adsk::core::Application"; }
    static const char* interfaceId() { return classType(); }

    // The running application, or an empty Ptr when the host has none to give.
    static Ptr<Application> get() { return Ptr<Application>(get_raw()); }
    // One reference for the caller, or null.
    XI_CORE_API static Application* get_raw();

    Ptr<UserInterface> userInterface() const;
    Ptr<Preferences> preferences() const { return Ptr<Preferences>(preferences_raw()); }
    bool isOffLine() const { return isOffLine_raw(); }
    Ptr<ApplicationEvent> onlineStatusChanged() const { return Ptr<ApplicationEvent>(onlineStatusChanged_raw()); }
    // The command's text result; empty when the host returns none.
    std::string executeTextCommand(const std::string& command) const
    {
        return detail::takeHostText(executeTextCommand_raw(command.c_str()));
    }

private:
    virtual UserInterface* userInterface_raw() const = 0;
    virtual Preferences* preferences_raw() const = 0;
    virtual bool isOffLine_raw() const = 0;
    virtual ApplicationEvent* onlineStatusChanged_raw() const = 0;
    virtual char* executeTextCommand_raw(const char* command) const = 0;
};

} // namespace adsk::core

#include "../UserInterface/UserInterface.h"

namespace adsk::core {
inline Ptr<UserInterface> Application::userInterface() const { return Ptr<UserInterface>(userInterface_raw()); }
} // namespace adsk::core
