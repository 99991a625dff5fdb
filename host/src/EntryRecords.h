// The host's trace and view in the C entry's structures (simhost.h), for Entry.cpp.
#pragma once

#include <simhost/Trace.h>
#include <simhost/Types.h>
#include <simhost/simhost.h>

namespace simhost {

// One trace entry to the sink, its fields valid during the call.
void sendEntry(const TraceEntry& entry, simhost_entry_sink sink, void* context);
// What the host shows, an item at a time: the toolbar's controls, the palettes, the definitions,
// the application.
void sendView(const HostView& view, simhost_item_sink sink, void* context);

} // namespace simhost
