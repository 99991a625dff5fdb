#include "Palettes.h"

#include "../TextResults.h"
#include "HostOperations.h"

namespace simhost {

PaletteImpl::PaletteImpl(Services& services, PalettesImpl& container, std::string id, bool visible, PaletteLook look)
    : Counted(services, "Palette " + id), container_(container), id_(std::move(id)), visible_(visible),
      look_(std::move(look)),
      incoming_(services.make<HTMLEventImpl>(
          "incomingFromHTML:" + id_,
          EventOperations{operations::htmlEventAdd, operations::htmlEventRemove, operations::htmlEventArgs}))
{
    incoming_.setOwner(*this);
}

bool PaletteImpl::isVisible_raw() const { return alive(operations::paletteIsVisible) && visible_; }

bool PaletteImpl::isVisible_raw(bool value)
{
    if (!alive(operations::paletteIsVisible)) {
        return false;
    }
    visible_ = value;
    services_.recorder.trace("op", "setVisible").add("id", id_).add("value", value);
    return true;
}

core::PaletteDockingStates PaletteImpl::dockingState_raw() const
{
    return alive(operations::paletteDockingState) ? docking_ : core::PaletteDockStateFloating;
}

bool PaletteImpl::dockingState_raw(core::PaletteDockingStates value)
{
    if (!alive(operations::paletteDockingState)) {
        return false;
    }
    docking_ = value;
    services_.recorder.trace("op", "dockingState").add("id", id_).add("value", static_cast<std::int64_t>(value));
    return true;
}

core::HTMLEvent* PaletteImpl::incomingFromHTML_raw() const
{
    return answer(operations::paletteIncomingFromHTML, incoming_);
}

bool PaletteImpl::deleteMe_raw()
{
    return deleteFromHost(operations::paletteDeleteMe, "palette", id_, [&] {
        visible_ = false;
        container_.list().remove(*this);
    });
}

char* PaletteImpl::id_raw() const { return alive(operations::paletteId) ? textResult(id_) : nullptr; }

core::Palette* PalettesImpl::add_raw(const char* id, const char* name, const char* htmlFileURL, bool isVisible,
                                     bool showCloseButton, bool isResizable, int width, int height,
                                     bool useNewWebBrowser)
{
    if (!alive(operations::palettesAdd) || id == nullptr || name == nullptr || htmlFileURL == nullptr ||
        faultFires(operations::palettesAdd)) {
        return nullptr;
    }
    if (palettes_.find(id) != nullptr) {
        services_.recorder.trace("op", "note").add("text", std::string("palette already exists: ") + id);
        return nullptr;
    }
    auto& palette = services_.make<PaletteImpl>(*this, id, isVisible,
                                                PaletteLook{name, htmlFileURL, width, height, showCloseButton});
    palette.markMadeByAddin();
    palettes_.add(palette);
    services_.recorder.trace("op", "addPalette")
        .add("id", std::string(id))
        .add("name", std::string(name))
        .add("url", std::string(htmlFileURL))
        .add("isVisible", isVisible)
        .add("showCloseButton", showCloseButton)
        .add("isResizable", isResizable)
        .add("width", static_cast<std::int64_t>(width))
        .add("height", static_cast<std::int64_t>(height))
        .add("useNewWebBrowser", useNewWebBrowser);
    return palette.handOut();
}

core::Palette* PalettesImpl::itemById_raw(const char* id) const
{
    if (!alive(operations::palettesItemById) || id == nullptr || faultFires(operations::palettesItemById)) {
        return nullptr;
    }
    PaletteImpl* palette = palettes_.find(id);
    return palette != nullptr ? palette->handOut() : nullptr;
}

char* HTMLEventArgsImpl::action_raw() const
{
    return alive(operations::htmlEventArgsAction) ? textResult(action_) : nullptr;
}

char* HTMLEventArgsImpl::data_raw() const
{
    return !alive(operations::htmlEventArgsData) || faultFires(operations::htmlEventArgsData) ? nullptr
                                                                                              : textResult(data_);
}

} // namespace simhost
