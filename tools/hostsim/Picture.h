// A picture of what the host shows after a session: the "QATRight" toolbar with the host's own
// controls and the add-in's buttons (with the icons the host would load), and the palettes.
#pragma once

#include <simhost/Session.h>

#include <string>

namespace hostsim {

// How the host's screen is set up: its scale (1, or 2 on a high-resolution screen) and UI theme
// (normal, light_gray, dark_blue).
struct PictureOptions {
    int scale = 1;
    std::string theme = "normal";
};

// The SVG document. Each button shows the icon the host would pick from its resource folder
// (IconChoice.h); a folder with none the host can show gets the host's question-mark placeholder,
// and the session's trace a note naming the folder.
std::string drawPicture(simhost::Session& session, const PictureOptions& options);

} // namespace hostsim
