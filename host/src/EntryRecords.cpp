// The host's records in the C entry's structures (simhost.h), handed to a driver's sink: the
// structures point into the records, valid during the sink's call.
#include "EntryRecords.h"

#include <variant>
#include <vector>

namespace simhost {

namespace {

simhost_text toText(std::string_view text) { return {text.data(), text.size()}; }

// An item of the view with its kind, id, name and handlers; the rest left empty.
simhost_view_item viewItem(simhost_item_kind kind, std::string_view id, std::string_view name, int handlers)
{
    simhost_view_item item{};
    item.kind = kind;
    item.id = toText(id);
    item.name = toText(name);
    item.handlers = handlers;
    return item;
}

} // namespace

void sendEntry(const TraceEntry& entry, simhost_entry_sink sink, void* context)
{
    std::vector<simhost_field> fields;
    std::vector<std::vector<simhost_text>> lists;
    lists.reserve(entry.fields.size());
    for (const auto& [name, value] : entry.fields) {
        simhost_field field{toText(name), SIMHOST_VALUE_BOOL, 0, {nullptr, 0}, nullptr, 0};
        if (const auto* flag = std::get_if<bool>(&value)) {
            field.integer = *flag ? 1 : 0;
        } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
            field.kind = SIMHOST_VALUE_INTEGER;
            field.integer = *number;
        } else if (const auto* text = std::get_if<std::string>(&value)) {
            field.kind = SIMHOST_VALUE_TEXT;
            field.text = toText(*text);
        } else if (const auto* list = std::get_if<std::vector<std::string>>(&value)) {
            std::vector<simhost_text>& items = lists.emplace_back();
            for (const std::string& item : *list) {
                items.push_back(toText(item));
            }
            field.kind = SIMHOST_VALUE_TEXT_LIST;
            field.items = items.data();
            field.item_count = items.size();
        }
        fields.push_back(field);
    }
    sink(context, fields.data(), fields.size());
}

void sendView(const HostView& view, simhost_item_sink sink, void* context)
{
    for (const ToolbarControlView& control : view.toolbar) {
        simhost_view_item item = viewItem(SIMHOST_ITEM_CONTROL, control.id, control.name, 0);
        item.owned_by_host = control.ownedByHost ? 1 : 0;
        item.tooltip = toText(control.tooltip);
        item.resource_folder = toText(control.resourceFolder);
        sink(context, &item);
    }
    for (const PaletteView& palette : view.palettes) {
        simhost_view_item item = viewItem(SIMHOST_ITEM_PALETTE, palette.id, palette.name, palette.messageHandlers);
        item.url = toText(palette.url);
        item.visible = palette.visible ? 1 : 0;
        item.docking_state = palette.dockingState;
        item.width = palette.width;
        item.height = palette.height;
        sink(context, &item);
    }
    for (const DefinitionView& definition : view.definitions) {
        simhost_view_item item =
            viewItem(SIMHOST_ITEM_DEFINITION, definition.id, definition.name, definition.createdHandlers);
        item.tooltip = toText(definition.tooltip);
        item.resource_folder = toText(definition.resourceFolder);
        sink(context, &item);
    }
    const simhost_view_item application = viewItem(SIMHOST_ITEM_APPLICATION, {}, {}, view.onlineStatusHandlers);
    sink(context, &application);
}

} // namespace simhost
