// The actions hostsim runs, parsed from its command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace hostsim {

struct Action {
    enum class Kind { Run, Stop, Click, Message, Online, Offline, Close, Unload };
    Kind kind;
    std::string argument; // command id for Click, text for Message, palette id for Close
};

// Parses "run | stop | click ID | message TEXT | online | offline | close ID | unload"; empty
// gives a
// single run. Throws std::invalid_argument with a one-line reason.
std::vector<Action> parseActions(const std::vector<std::string>& words);

} // namespace hostsim
