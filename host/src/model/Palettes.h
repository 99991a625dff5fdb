// HTML palettes and the messages their pages send (sdk: Core/UserInterface/Palettes.h,
// HTMLEvents.h).
#pragma once

#include "../Counted.h"
#include "../Events.h"
#include "../IdList.h"

#include <Core/CoreAll.h>

#include <string>

namespace simhost {

namespace core = adsk::core;

using HTMLEventImpl = EventImpl<core::HTMLEvent, core::HTMLEventHandler, core::HTMLEventArgs>;

// What a palette was created with.
struct PaletteLook {
    std::string name;
    std::string url;
    int width = 0;
    int height = 0;
    bool closeButton = true; // the user can close it
};

class PalettesImpl;

class PaletteImpl final : public Counted<core::Palette> {
public:
    PaletteImpl(Services& services, PalettesImpl& container, std::string id, bool visible, PaletteLook look);
    [[nodiscard]] const std::string& id() const { return id_; }
    [[nodiscard]] bool visible() const { return visible_; }
    [[nodiscard]] const PaletteLook& look() const { return look_; }
    [[nodiscard]] int docking() const { return static_cast<int>(docking_); }
    [[nodiscard]] HTMLEventImpl& htmlEvent() { return incoming_; }
    // The user's close button: hidden, not deleted.
    void closeByUser() { visible_ = false; }
    // The host deletes it (the user switched workspace), as the add-in's deleteMe would.
    void deleteByHost() { (void)deleteMe_raw(); }

private:
    bool isVisible_raw() const override;
    bool isVisible_raw(bool value) override;
    core::PaletteDockingStates dockingState_raw() const override;
    bool dockingState_raw(core::PaletteDockingStates value) override;
    core::HTMLEvent* incomingFromHTML_raw() const override;
    bool deleteMe_raw() override;
    char* id_raw() const override;

    PalettesImpl& container_;
    std::string id_;
    bool visible_;
    PaletteLook look_;
    core::PaletteDockingStates docking_ = core::PaletteDockStateFloating;
    HTMLEventImpl& incoming_;
};

class PalettesImpl final : public Counted<core::Palettes> {
public:
    explicit PalettesImpl(Services& services) : Counted(services, "Palettes") {}
    [[nodiscard]] IdList<PaletteImpl>& list() { return palettes_; }
    [[nodiscard]] const IdList<PaletteImpl>& list() const { return palettes_; }

private:
    core::Palette* add_raw(const char* id, const char* name, const char* htmlFileURL, bool isVisible,
                           bool showCloseButton, bool isResizable, int width, int height,
                           bool useNewWebBrowser) override;
    core::Palette* itemById_raw(const char* id) const override;

    IdList<PaletteImpl> palettes_;
};

class HTMLEventArgsImpl final : public Counted<core::HTMLEventArgs> {
public:
    HTMLEventArgsImpl(Services& services, std::string action, std::string data)
        : Counted(services, "HTMLEventArgs"), action_(std::move(action)), data_(std::move(data))
    {
    }

private:
    char* action_raw() const override;
    char* data_raw() const override;
    std::string action_;
    std::string data_;
};

} // namespace simhost
