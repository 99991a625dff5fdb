// Application: the root of the host's object model.
#pragma once

#include "../Base.h"
#include "ApplicationEvents.h"
#include "Preferences.h"

namespace adsk::core {

class UserInterface;

class Application : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }

    // The running application, or an empty Ptr when the host has none to give. Adopts the
    // reference get_raw hands over.
    static Ptr<Application> get() { return Ptr<Application>(get_raw()); }

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
    // Exported by the host library: one reference for the caller, or null.
    XI_CORE_API static Application* get_raw();

    // Host vtable slots of Application (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual void* unused24() const; // 24
    virtual void* unused25() const; // 25
    virtual void* unused26() const; // 26
    virtual void* unused27() const; // 27
    virtual void* unused28() const; // 28
    virtual void* unused29() const; // 29
    virtual double unused30() const; // 30
    virtual double unused31() const; // 31
    virtual Preferences* preferences_raw() const = 0; // 32
    virtual void* unused33() const; // 33
    virtual void* unused34() const; // 34
    virtual void* unused35() const; // 35
    virtual UserInterface* userInterface_raw() const = 0; // 36
    virtual void* unused37() const; // 37
    virtual void* unused38() const; // 38
    virtual void* unused39() const; // 39
    virtual void* unused40() const; // 40
    virtual void* unused41() const; // 41
    virtual void* unused42() const; // 42
    virtual void* unused43() const; // 43
    virtual bool isOffLine_raw() const = 0; // 45
    virtual bool isOffLine_raw(bool value); // 44
    virtual void* unused46() const; // 46
    virtual ApplicationEvent* onlineStatusChanged_raw() const = 0; // 47
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
    virtual void* unused62() const; // 62
    virtual void* unused63() const; // 63
    virtual void* unused64() const; // 64
    virtual void* unused65() const; // 65
    virtual void* unused66() const; // 66
    virtual void* unused67() const; // 67
    virtual void* unused68() const; // 68
    virtual char* executeTextCommand_raw(const char* command) const = 0; // 69
    virtual void* unused70() const; // 70
    virtual void* unused71() const; // 71
    virtual void* unused72() const; // 72
    virtual void* unused73() const; // 73
    virtual void* unused74() const; // 74
    virtual void* unused75() const; // 75
    virtual void* unused76() const; // 76
    // clang-format on
    // End of the host vtable slots of Application.
};

} // namespace adsk::core

#include "../UserInterface/UserInterface.h"

namespace adsk::core {
inline Ptr<UserInterface> Application::userInterface() const { return Ptr<UserInterface>(userInterface_raw()); }
} // namespace adsk::core
