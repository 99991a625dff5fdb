#include "Palettes.h"

#include "../FaultPoints.h"
#include "HostText.h"

namespace simhost {

PaletteImpl::PaletteImpl(SessionState& session, PalettesImpl& container, std::string id, bool visible, PaletteLook look)
    : Counted(session, "Palette " + id), container_(container), id_(std::move(id)), visible_(visible),
      look_(std::move(look)),
      incoming_(session.make<HTMLEventImpl>("incomingFromHTML:" + id_, faults::htmlEventAdd, faults::htmlEventArgs))
{
    incoming_.setOwner(*this);
}

bool PaletteImpl::isVisible_raw() const
{
    checkAlive("isVisible");
    return visible_;
}

bool PaletteImpl::isVisible_raw(bool value)
{
    checkAlive("isVisible");
    visible_ = value;
    session_.trace("op", "setVisible").add("id", id_).add("value", value);
    return true;
}

core::PaletteDockingStates PaletteImpl::dockingState_raw() const
{
    checkAlive("dockingState");
    return docking_;
}

bool PaletteImpl::dockingState_raw(core::PaletteDockingStates value)
{
    checkAlive("dockingState");
    docking_ = value;
    session_.trace("op", "dockingState").add("id", id_).add("value", static_cast<std::int64_t>(value));
    return true;
}

core::HTMLEvent* PaletteImpl::incomingFromHTML_raw() const
{
    checkAlive("incomingFromHTML");
    return session_.fault(faults::paletteIncomingFromHtml) ? nullptr : incoming_.handOut();
}

bool PaletteImpl::deleteMe_raw()
{
    return deleteFromHost("palette", id_, [&] {
        visible_ = false;
        container_.list().remove(*this);
    });
}

char* PaletteImpl::id_raw() const
{
    checkAlive("id");
    return hostText(id_);
}

core::Palette* PalettesImpl::add_raw(const char* id, const char* name, const char* htmlFileURL, bool isVisible,
                                     bool showCloseButton, bool isResizable, int width, int height,
                                     bool useNewWebBrowser)
{
    checkAlive("add");
    if (session_.fault(faults::palettesAdd)) {
        return nullptr;
    }
    if (palettes_.find(id) != nullptr) {
        session_.trace("op", "note").add("text", std::string("palette already exists: ") + id);
        return nullptr;
    }
    auto& palette = session_.make<PaletteImpl>(*this, id, isVisible, PaletteLook{name, htmlFileURL, width, height});
    palettes_.add(palette);
    session_.trace("op", "addPalette")
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
    checkAlive("itemById");
    if (session_.fault(faults::palettesItemById)) {
        return nullptr;
    }
    PaletteImpl* palette = palettes_.find(id);
    return palette != nullptr ? palette->handOut() : nullptr;
}

char* HTMLEventArgsImpl::action_raw() const { return hostText("send"); }

char* HTMLEventArgsImpl::data_raw() const
{
    checkAlive("data");
    return session_.fault(faults::htmlEventArgsData) ? nullptr : hostText(data_);
}

} // namespace simhost
