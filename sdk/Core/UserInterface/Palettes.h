// HTML palettes: host windows that show a web page. The host owns a palette until its deleteMe();
// the user's close button only hides it (isVisible() false), it stays in Palettes.
#pragma once

#include "../CoreTypeDefs.h"
#include "HTMLEvents.h"

namespace adsk::core {

class Palette : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    bool isVisible() const { return isVisible_raw(); }
    // Shows (true) or hides the palette; its page is not reloaded.
    bool isVisible(bool value) { return isVisible_raw(value); }
    PaletteDockingStates dockingState() const { return dockingState_raw(); }
    bool dockingState(PaletteDockingStates value) { return dockingState_raw(value); }
    // Fired when the palette's page calls adsk.fusionSendData(action, data).
    Ptr<HTMLEvent> incomingFromHTML() const { return Ptr<HTMLEvent>(incomingFromHTML_raw()); }
    bool deleteMe() { return deleteMe_raw(); }
    std::string id() const { return detail::takeHostText(id_raw()); }

private:
    // Host vtable slots of Palette (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual char* id_raw() const = 0; // 24
    virtual bool isVisible_raw() const = 0; // 26
    virtual bool isVisible_raw(bool value) = 0; // 25
    virtual void* unused27() const; // 27
    virtual void* unused28() const; // 28
    virtual void* unused29() const; // 29
    virtual HTMLEvent* incomingFromHTML_raw() const = 0; // 30
    virtual void* unused31() const; // 31
    virtual void* unused32() const; // 32
    virtual void* unused33() const; // 33
    virtual bool deleteMe_raw() = 0; // 34
    virtual void* unused35() const; // 35
    virtual void* unused36() const; // 36
    virtual void* unused37() const; // 37
    virtual PaletteDockingStates dockingState_raw() const = 0; // 39
    virtual bool dockingState_raw(PaletteDockingStates value) = 0; // 38
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
    virtual void placeholderPalette0(); // 54
    virtual void placeholderPalette1(); // 55
    virtual void placeholderPalette2(); // 56
    virtual void placeholderPalette3(); // 57
    virtual void placeholderPalette4(); // 58
    virtual void placeholderPalette5(); // 59
    virtual void placeholderPalette6(); // 60
    virtual void placeholderPalette7(); // 61
    virtual void placeholderPalette8(); // 62
    virtual void placeholderPalette9(); // 63
    virtual void placeholderPalette10(); // 64
    virtual void placeholderPalette11(); // 65
    virtual void placeholderPalette12(); // 66
    virtual void placeholderPalette13(); // 67
    virtual void placeholderPalette14(); // 68
    virtual void placeholderPalette15(); // 69
    virtual void placeholderPalette16(); // 70
    virtual void placeholderPalette17(); // 71
    virtual void placeholderPalette18(); // 72
    virtual void placeholderPalette19(); // 73
    virtual void placeholderPalette20(); // 74
    virtual void placeholderPalette21(); // 75
    virtual void placeholderPalette22(); // 76
    virtual void placeholderPalette23(); // 77
    virtual void placeholderPalette24(); // 78
    virtual void placeholderPalette25(); // 79
    virtual void placeholderPalette26(); // 80
    virtual void placeholderPalette27(); // 81
    virtual void placeholderPalette28(); // 82
    virtual void placeholderPalette29(); // 83
    virtual void placeholderPalette30(); // 84
    virtual void placeholderPalette31(); // 85
    virtual void placeholderPalette32(); // 86
    virtual void placeholderPalette33(); // 87
    // clang-format on
    // End of the host vtable slots of Palette.
};

class Palettes : public Base {
public:
    XI_CORE_API static const char* classType();
    XI_CORE_API static const char* interfaceId() { return classType(); }
    // A new palette loading htmlFileURL, visible at once when isVisible. An id that already names a
    // palette: refused (empty Ptr); find it with itemById() instead.
    Ptr<Palette> add(const std::string& id, const std::string& name, const std::string& htmlFileURL, bool isVisible,
                     bool showCloseButton, bool isResizable, int width = 200, int height = 200,
                     bool useNewWebBrowser = true)
    {
        return Ptr<Palette>(add_raw(id.c_str(), name.c_str(), htmlFileURL.c_str(), isVisible, showCloseButton,
                                    isResizable, width, height, useNewWebBrowser));
    }
    // The palette with that id (visible or closed by the user), or an empty Ptr once deleted.
    Ptr<Palette> itemById(const std::string& id) const { return Ptr<Palette>(itemById_raw(id.c_str())); }

private:
    // Host vtable slots of Palettes (written from sdk/abi/HostVtables.txt).
    // clang-format off
    virtual Palette* add_raw(const char* id, const char* name, const char* htmlFileURL, bool isVisible, bool showCloseButton, bool isResizable, int width, int height, bool useNewWebBrowser) = 0; // 24
    virtual void* unused25() const; // 25
    virtual Palette* itemById_raw(const char* id) const = 0; // 26
    virtual void* unused27() const; // 27
    virtual void* unused28() const; // 28
    // clang-format on
    // End of the host vtable slots of Palettes.
};

} // namespace adsk::core
