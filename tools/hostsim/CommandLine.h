// hostsim's command line: its options, the add-in library and the actions, as CLI11 reads them.
#pragma once

#include "Picture.h"

#include <simhost/Types.h>

#include <optional>
#include <string>
#include <vector>

namespace hostsim {

struct CommandLine {
    simhost::Options options;
    bool listFaults = false;
    bool json = false;
    bool allowViolations = false;
    std::string picture; // the file to write, or none
    PictureOptions pictureOptions;
    std::string library;
    std::vector<std::string> actions; // the words, as given
};

// Reads the command line (UTF-8). Answers the exit status when hostsim is done already: 0 after
// the help, 2 after a usage error (its message printed).
std::optional<int> readCommandLine(int argc, char** argv, CommandLine& line);

} // namespace hostsim
