#include "Picture.h"

#include "Svg.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>

namespace hostsim {

namespace {

constexpr int pictureWidth = 960;
constexpr int pictureHeight = 560;
constexpr int slotWidth = 104;
constexpr int stripTop = 40;
constexpr int stripHeight = 72;
constexpr int margin = 16;
constexpr int iconSize = 32; // the host's toolbar icon size; the "missing" cross is drawn for it

// The PNG the host would show at 32 px, or none when it cannot be read as one.
std::optional<std::string> readIcon(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad() || bytes.rfind("\x89PNG\r\n\x1A\n", 0) != 0) {
        return std::nullopt;
    }
    return bytes;
}

std::string number(int value) { return std::to_string(value); }

void drawHostControl(Svg& svg, const simhost::ToolbarControlView& control, int x)
{
    svg.open("g", {{"class", "host-control"}, {"id", "control-" + control.id}}, control.id);
    svg.element("rect", {{"x", number(x + 4)},
                         {"y", number(stripTop + 8)},
                         {"width", number(slotWidth - 8)},
                         {"height", number(stripHeight - 16)},
                         {"rx", "4"},
                         {"fill", "#e4e4e4"},
                         {"stroke", "#9a9a9a"},
                         {"stroke-dasharray", "4 3"}});
    svg.element("text",
                {{"x", number(x + slotWidth / 2)},
                 {"y", number(stripTop + stripHeight / 2 + 3)},
                 {"font-size", "7"},
                 {"text-anchor", "middle"},
                 {"fill", "#555555"}},
                control.id);
    svg.close();
}

void drawButton(Svg& svg, simhost::Session& session, const simhost::ToolbarControlView& control, int x)
{
    const std::string iconPath = control.resourceFolder + "/32x32.png";
    const std::optional<std::string> icon = readIcon(session.libraryFolder() / std::filesystem::u8path(iconPath));
    svg.open("g", {{"class", "addin-button"}, {"id", "button-" + control.id}}, control.tooltip);
    svg.element("rect", {{"x", number(x + 4)},
                         {"y", number(stripTop + 4)},
                         {"width", number(slotWidth - 8)},
                         {"height", number(stripHeight - 8)},
                         {"rx", "4"},
                         {"fill", "#ffffff"},
                         {"stroke", "#2b6cb0"}});
    const int iconX = x + (slotWidth - iconSize) / 2;
    const int iconY = stripTop + 10;
    if (icon) {
        svg.element("image", {{"x", number(iconX)},
                              {"y", number(iconY)},
                              {"width", number(iconSize)},
                              {"height", number(iconSize)},
                              {"data-icon", iconPath},
                              {"href", "data:image/png;base64," + base64(*icon)}});
    } else {
        session.note("icon not found or not a PNG: " + iconPath);
        svg.open("g", {{"class", "missing-icon"}, {"data-icon", iconPath}});
        svg.element("rect", {{"x", number(iconX)},
                             {"y", number(iconY)},
                             {"width", number(iconSize)},
                             {"height", number(iconSize)},
                             {"fill", "#fde8e8"},
                             {"stroke", "#c53030"},
                             {"stroke-width", "2"}});
        // A cross through the square.
        std::string cross;
        for (const std::string& part :
             {std::string("M"), number(iconX), std::string(" "), number(iconY), std::string("l32 32m0 -32l-32 32")}) {
            cross += part;
        }
        svg.element("path", {{"d", cross}, {"stroke", "#c53030"}, {"stroke-width", "2"}});
        svg.element("text",
                    {{"x", number(iconX + iconSize / 2)},
                     {"y", number(iconY + iconSize / 2 + 3)},
                     {"font-size", "8"},
                     {"text-anchor", "middle"},
                     {"fill", "#c53030"}},
                    "missing");
        svg.close();
    }
    svg.element("text",
                {{"x", number(x + slotWidth / 2)},
                 {"y", number(stripTop + stripHeight - 12)},
                 {"font-size", "10"},
                 {"text-anchor", "middle"},
                 {"fill", "#1a202c"}},
                control.name);
    svg.close();
}

// Where a palette docked at that side stands (3 left, 4 right; anything else floats).
int paletteX(const simhost::PaletteView& palette, int width)
{
    switch (palette.dockingState) {
    case 3:
        return margin;
    case 4:
        return pictureWidth - margin - width;
    default:
        return (pictureWidth - width) / 2;
    }
}

const char* dockingName(int state)
{
    switch (state) {
    case 1:
        return "docked top";
    case 2:
        return "docked bottom";
    case 3:
        return "docked left";
    case 4:
        return "docked right";
    default:
        return "floating";
    }
}

// The address in lines that fit the palette.
std::vector<std::string> wrap(const std::string& text, std::size_t width)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = std::min(text.size(), at + width);
        while (end < text.size() && end > at + 1 && (static_cast<unsigned char>(text[end]) & 0xC0U) == 0x80U) {
            --end; // never split a UTF-8 sequence
        }
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

void drawPalette(Svg& svg, const simhost::PaletteView& palette)
{
    const int width = std::clamp(palette.width, 120, pictureWidth - 2 * margin);
    const int height = std::clamp(palette.height, 80, pictureHeight - stripTop - stripHeight - 2 * margin);
    const int x = paletteX(palette, width);
    const int y = stripTop + stripHeight + margin;
    const std::string state = palette.visible ? "visible" : "closed (hidden)";
    Svg::Attributes group = {
        {"class", "palette"}, {"id", "palette-" + palette.id}, {"data-visible", palette.visible ? "true" : "false"}};
    if (!palette.visible) {
        group.emplace_back("opacity", "0.45");
    }
    svg.open("g", group, palette.name);
    svg.element("rect", {{"x", number(x)},
                         {"y", number(y)},
                         {"width", number(width)},
                         {"height", number(height)},
                         {"fill", "#ffffff"},
                         {"stroke", "#4a5568"},
                         {"stroke-dasharray", palette.visible ? "none" : "6 4"}});
    svg.element("rect",
                {{"x", number(x)}, {"y", number(y)}, {"width", number(width)}, {"height", "24"}, {"fill", "#2d3748"}});
    svg.element("text", {{"x", number(x + 8)}, {"y", number(y + 16)}, {"font-size", "12"}, {"fill", "#ffffff"}},
                palette.name);
    int line = y + 44;
    for (const std::string& text :
         {palette.id + ": " + state + ", " + dockingName(palette.dockingState),
          "size " + number(palette.width) + " x " + number(palette.height), std::string("page (not fetched):")}) {
        svg.element("text", {{"x", number(x + 8)}, {"y", number(line)}, {"font-size", "11"}, {"fill", "#2d3748"}},
                    text);
        line += 16;
    }
    svg.open("g", {{"class", "palette-url"}, {"data-url", palette.url}});
    for (const std::string& part : wrap(palette.url, static_cast<std::size_t>((width - 16) / 6))) {
        svg.element("text",
                    {{"x", number(x + 8)},
                     {"y", number(line)},
                     {"font-size", "10"},
                     {"font-family", "monospace"},
                     {"fill", "#2b6cb0"}},
                    part);
        line += 14;
    }
    svg.close();
    svg.close();
}

} // namespace

std::string drawPicture(simhost::Session& session)
{
    const simhost::HostView view = session.view();
    Svg svg(pictureWidth, pictureHeight);
    svg.element("rect", {{"x", "0"},
                         {"y", "0"},
                         {"width", number(pictureWidth)},
                         {"height", number(pictureHeight)},
                         {"fill", "#f2f4f7"}});
    svg.element("text", {{"x", number(margin)}, {"y", "24"}, {"font-size", "13"}, {"fill", "#4a5568"}},
                "Fusion 360 as the simulated host shows it (hostsim)");

    const int stripWidth = static_cast<int>(view.toolbar.size()) * slotWidth + 8;
    const int stripX = pictureWidth - margin - stripWidth;
    svg.open("g", {{"class", "toolbar"}, {"id", "toolbar-QATRight"}}, "QATRight");
    svg.element("rect", {{"x", number(stripX)},
                         {"y", number(stripTop)},
                         {"width", number(stripWidth)},
                         {"height", number(stripHeight)},
                         {"rx", "6"},
                         {"fill", "#cbd5e0"}});
    svg.element("text",
                {{"x", number(stripX - 8)},
                 {"y", number(stripTop + stripHeight / 2 + 4)},
                 {"font-size", "11"},
                 {"text-anchor", "end"},
                 {"fill", "#4a5568"}},
                "QATRight");
    int x = stripX + 4;
    for (const simhost::ToolbarControlView& control : view.toolbar) {
        if (control.ownedByHost) {
            drawHostControl(svg, control, x);
        } else {
            drawButton(svg, session, control, x);
        }
        x += slotWidth;
    }
    svg.close();
    for (const simhost::PaletteView& palette : view.palettes) {
        drawPalette(svg, palette);
    }
    return svg.str();
}

} // namespace hostsim
