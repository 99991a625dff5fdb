// The actions hostsim runs, parsed from its command line.
#pragma once

#include <string>
#include <vector>

namespace hostsim {

struct Action {
    enum class Kind { Run, Stop, Click, Message, Online, Offline, Close, Workspace, Unload };
    Kind kind;
    std::string argument;     // command id for Click, text for Message, palette id for Close
    std::string action = {};  // Message: the page's action (adsk.fusionSendData's first argument)
    std::string palette = {}; // Message: the palette it comes from (empty: the newest shown one)
};

// Parses "run | stop | click ID | message [--action A] [--palette ID] TEXT | online | offline |
// close ID | workspace | unload"; empty gives a single run. Throws std::invalid_argument with a
// one-line reason. Whether the host would take the actions in that order is the host's to say.
std::vector<Action> parseActions(const std::vector<std::string>& words);

} // namespace hostsim
