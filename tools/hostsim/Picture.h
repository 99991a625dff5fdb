// A picture of what the host shows after a session: the "QATRight" toolbar with the host's own
// controls and the add-in's buttons (with the icons the host would load), and the palettes.
#pragma once

#include <simhost/Session.h>

#include <string>

namespace hostsim {

// The SVG document. Each icon that cannot be read is drawn as a marked square, and the session's
// trace gets a note naming the file.
std::string drawPicture(simhost::Session& session);

} // namespace hostsim
