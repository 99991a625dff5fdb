// HTML palettes: host windows that show a web page. The host owns a palette until its deleteMe();
// the user's close button only hides it (isVisible() false), it stays in Palettes.
#pragma once

#include "../CoreTypeDefs.h"
#include "HTMLEvents.h"

namespace adsk::core {

class Palette : public Base {
public:
    static const char* classType() { return "adsk::core::Palette"; }
    static const char* interfaceId() { return classType(); }
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
    virtual bool isVisible_raw() const = 0;
    virtual bool isVisible_raw(bool value) = 0;
    virtual PaletteDockingStates dockingState_raw() const = 0;
    virtual bool dockingState_raw(PaletteDockingStates value) = 0;
    virtual HTMLEvent* incomingFromHTML_raw() const = 0;
    virtual bool deleteMe_raw() = 0;
    virtual char* id_raw() const = 0;
};

class Palettes : public Base {
public:
    static const char* classType() { return "adsk::core::Palettes"; }
    static const char* interfaceId() { return classType(); }
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
    virtual Palette* add_raw(const char* id, const char* name, const char* htmlFileURL, bool isVisible,
                             bool showCloseButton, bool isResizable, int width, int height, bool useNewWebBrowser) = 0;
    virtual Palette* itemById_raw(const char* id) const = 0;
};

} // namespace adsk::core
