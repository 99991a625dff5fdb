// The add-in's class name of a handler object, for the trace.
#pragma once

#include <Core/EventHandler.h>

#include <string>

namespace simhost {

// The dynamic class of handler without its namespaces ("QuelsHTMLEventHandler").
std::string handlerClassName(const adsk::core::EventHandler& handler);

} // namespace simhost
