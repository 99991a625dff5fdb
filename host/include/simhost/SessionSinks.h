// The sinks through which the simulated host's C entry hands a C++ driver its lists, trace and
// view (simhost.h), for Session.h: each fills a C++ container, and keeps what it throws rather
// than letting it unwind through the host's frames.
#pragma once

#include "Trace.h"
#include "Types.h"
#include "simhost.h"

#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace simhost::sinks {

inline simhost_text text(std::string_view value) { return {value.data(), value.size()}; }
inline std::string string(simhost_text value) { return {value.data, value.size}; }

// What a sink fills, and the first exception its filling threw: a sink must not throw through
// the host's frames, so it keeps that one, takes no more items, and the caller rethrows it
// once the host's call has returned.
template <class Target> struct Filling {
    Target& target;
    std::exception_ptr failed;

    template <class Add> static void add(void* context, Add adding) noexcept
    {
        auto& filling = *static_cast<Filling*>(context);
        if (filling.failed == nullptr) {
            try {
                adding(filling.target);
            } catch (...) {
                filling.failed = std::current_exception();
            }
        }
    }
    void rethrow() const
    {
        if (failed != nullptr) {
            std::rethrow_exception(failed);
        }
    }
};

inline void appendTo(void* list, simhost_text value) noexcept
{
    Filling<std::vector<std::string>>::add(list, [&](std::vector<std::string>& to) { to.push_back(string(value)); });
}

inline TraceEntry entry(const simhost_field* fields, std::size_t count)
{
    TraceEntry entry;
    for (const simhost_field* field = fields; field != fields + count; ++field) {
        switch (field->kind) {
        case SIMHOST_VALUE_BOOL:
            entry.add(string(field->name), field->integer != 0);
            break;
        case SIMHOST_VALUE_INTEGER:
            entry.add(string(field->name), field->integer);
            break;
        case SIMHOST_VALUE_TEXT:
            entry.add(string(field->name), string(field->text));
            break;
        case SIMHOST_VALUE_TEXT_LIST: {
            std::vector<std::string> items;
            for (std::size_t item = 0; item < field->item_count; ++item) {
                items.push_back(string(field->items[item]));
            }
            entry.add(string(field->name), std::move(items));
            break;
        }
        }
    }
    return entry;
}

inline void addTo(HostView& to, const simhost_view_item* item)
{
    switch (item->kind) {
    case SIMHOST_ITEM_CONTROL:
        to.toolbar.push_back({string(item->id), item->owned_by_host != 0, string(item->name), string(item->tooltip),
                              string(item->resource_folder)});
        break;
    case SIMHOST_ITEM_PALETTE:
        to.palettes.push_back({string(item->id), string(item->name), string(item->url), item->visible != 0,
                               item->docking_state, item->width, item->height, item->handlers});
        break;
    case SIMHOST_ITEM_DEFINITION:
        to.definitions.push_back({string(item->id), string(item->name), string(item->tooltip),
                                  string(item->resource_folder), item->handlers});
        break;
    case SIMHOST_ITEM_APPLICATION:
        to.onlineStatusHandlers = item->handlers;
        break;
    }
}

inline void appendEntry(void* trace, const simhost_field* fields, std::size_t count) noexcept
{
    Filling<std::vector<TraceEntry>>::add(trace,
                                          [&](std::vector<TraceEntry>& to) { to.push_back(entry(fields, count)); });
}

inline void addItem(void* view, const simhost_view_item* item) noexcept
{
    Filling<HostView>::add(view, [&](HostView& to) { addTo(to, item); });
}

} // namespace simhost::sinks
