#include "Picture.h"

#include "IconChoice.h"
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
constexpr int smallIcon = 16; // a toolbar button's icon, in the host's logical pixels

// The colours of the host's UI themes, as far as the picture shows them.
struct ThemeColours {
    const char* strip;
    const char* button;
    const char* text;
};
ThemeColours coloursOf(const std::string& theme)
{
    if (theme == "dark_blue") {
        return {"#1e2a3a", "#2a3b52", "#f7fafc"};
    }
    if (theme == "light_gray") {
        return {"#e2e2e2", "#f4f4f4", "#1a202c"};
    }
    return {"#cbd5e0", "#ffffff", "#1a202c"};
}

// The file's bytes when it is the picture its media type says, or none.
std::optional<std::string> readIcon(const std::filesystem::path& file, const std::string& mediaType)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const bool png = bytes.rfind("\x89PNG\r\n\x1A\n", 0) == 0;
    const bool svg = bytes.find("<svg") != std::string::npos;
    if (in.bad() || (mediaType == "image/png" ? !png : !svg)) {
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

// The host's placeholder for a button without an icon: a question mark in a grey square.
void drawPlaceholder(Svg& svg, const std::string& folder, int x, int y, int size)
{
    svg.open("g", {{"class", "missing-icon"}, {"data-icon", folder}});
    svg.element("rect", {{"x", number(x)},
                         {"y", number(y)},
                         {"width", number(size)},
                         {"height", number(size)},
                         {"fill", "#e2e8f0"},
                         {"stroke", "#718096"}});
    svg.element("text",
                {{"x", number(x + size / 2)},
                 {"y", number(y + size * 3 / 4)},
                 {"font-size", number(size * 3 / 4)},
                 {"text-anchor", "middle"},
                 {"fill", "#4a5568"}},
                "?");
    svg.close();
}

void drawButton(Svg& svg, simhost::Session& session, const simhost::ToolbarControlView& control, int x,
                const PictureOptions& options)
{
    const ThemeColours colours = coloursOf(options.theme);
    const std::filesystem::path folder = session.libraryFolder() / std::filesystem::u8path(control.resourceFolder);
    const std::optional<IconChoice> choice = chooseToolbarIcon(folder, options.scale, options.theme);
    const std::optional<std::string> icon =
        choice ? readIcon(folder / choice->name, choice->mediaType) : std::optional<std::string>();
    svg.open("g", {{"class", "addin-button"}, {"id", "button-" + control.id}}, control.tooltip);
    svg.element("rect", {{"x", number(x + 4)},
                         {"y", number(stripTop + 4)},
                         {"width", number(slotWidth - 8)},
                         {"height", number(stripHeight - 8)},
                         {"rx", "4"},
                         {"fill", colours.button},
                         {"stroke", "#2b6cb0"}});
    // At 16 logical pixels, as many screen pixels as the scale gives.
    const int iconSize = smallIcon * options.scale;
    const int iconX = x + (slotWidth - iconSize) / 2;
    const int iconY = stripTop + 12 + (32 - iconSize) / 2;
    if (icon) {
        svg.element("image", {{"x", number(iconX)},
                              {"y", number(iconY)},
                              {"width", number(iconSize)},
                              {"height", number(iconSize)},
                              {"data-icon", control.resourceFolder + "/" + choice->name},
                              {"data-scaled", choice->scaled ? "true" : "false"},
                              {"href", "data:" + choice->mediaType + ";base64," + base64(*icon)}});
    } else {
        session.note(choice ? "icon not readable as " + choice->mediaType + ": " + control.resourceFolder + "/" +
                                  choice->name
                            : "no icon the host can show in " + control.resourceFolder + ": its placeholder instead");
        drawPlaceholder(svg, control.resourceFolder, iconX, iconY, iconSize);
    }
    svg.element("text",
                {{"x", number(x + slotWidth / 2)},
                 {"y", number(stripTop + stripHeight - 12)},
                 {"font-size", "10"},
                 {"text-anchor", "middle"},
                 {"fill", colours.text}},
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

std::string drawPicture(simhost::Session& session, const PictureOptions& options)
{
    const simhost::HostView view = session.view();
    Svg svg(pictureWidth, pictureHeight);
    svg.element("rect", {{"x", "0"},
                         {"y", "0"},
                         {"width", number(pictureWidth)},
                         {"height", number(pictureHeight)},
                         {"fill", "#f2f4f7"}});
    svg.element("text", {{"x", number(margin)}, {"y", "24"}, {"font-size", "13"}, {"fill", "#4a5568"}},
                "Fusion 360 as the simulated host shows it (hostsim; scale " + number(options.scale) + ", theme " +
                    options.theme + ")");

    const int stripWidth = static_cast<int>(view.toolbar.size()) * slotWidth + 8;
    const int stripX = pictureWidth - margin - stripWidth;
    svg.open("g", {{"class", "toolbar"}, {"id", "toolbar-QATRight"}}, "QATRight");
    svg.element("rect", {{"x", number(stripX)},
                         {"y", number(stripTop)},
                         {"width", number(stripWidth)},
                         {"height", number(stripHeight)},
                         {"rx", "6"},
                         {"fill", coloursOf(options.theme).strip}});
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
            drawButton(svg, session, control, x, options);
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
