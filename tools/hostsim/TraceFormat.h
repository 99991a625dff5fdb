// Renders trace entries as JSON Lines or as readable lines.
#pragma once

#include <simhost/Trace.h>

#include <string>

namespace hostsim {

std::string toJsonLine(const simhost::TraceEntry& entry);
std::string toReadableLine(const simhost::TraceEntry& entry);

} // namespace hostsim
