// Which file of a command's resource folder the host shows as a toolbar button's icon. Toolbars
// such as "QATRight" show the small (16 px) icon. By the host's rules: an SVG drawn for that size
// first (it renders at any scale), then the PNG drawn for the screen's scale (16x16.png, or
// 16x16@2x.png on a high-resolution screen), then the nearest other picture of the folder,
// scaled. A variant for the UI theme (-light_gray, -dark_blue; -normal is the default) is
// preferred over the plain file where the folder has one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace hostsim {

// The host's UI themes, by their file-name tokens.
inline const std::vector<std::string> themes = {"normal", "light_gray", "dark_blue"};

struct IconChoice {
    std::string name;      // the file's name in the folder
    std::string mediaType; // image/svg+xml or image/png
    int drawnFor = 0;      // the pixel size the picture was made for (0: any, an SVG for this size)
    bool scaled = false;   // made for another size: the host scales it
};

// The icon shown at 16 px on a screen of scale (1 or 2) in theme; none when the folder has no
// picture the host would use (it then shows its question-mark placeholder).
std::optional<IconChoice> chooseToolbarIcon(const std::filesystem::path& folder, int scale, const std::string& theme);

} // namespace hostsim
