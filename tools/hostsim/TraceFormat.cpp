#include "TraceFormat.h"

#include <nlohmann/json.hpp>

#include <variant>

namespace hostsim {

namespace {

nlohmann::ordered_json toJson(const simhost::TraceValue& value)
{
    return std::visit([](const auto& v) { return nlohmann::ordered_json(v); }, value);
}

std::string dump(const nlohmann::ordered_json& json)
{
    // Texts from the command line may be any bytes; invalid UTF-8 is shown as U+FFFD.
    return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace

std::string toJsonLine(const simhost::TraceEntry& entry)
{
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    for (const auto& [name, value] : entry.fields) {
        json[name] = toJson(value);
    }
    return dump(json);
}

std::string toReadableLine(const simhost::TraceEntry& entry)
{
    if (entry.fields.empty()) {
        return {};
    }
    const auto& [kind, head] = entry.fields.front();
    std::string line = kind == "action" ? "> " : kind == "call" ? "" : "  ";
    line += std::get<std::string>(head);
    for (std::size_t i = 1; i < entry.fields.size(); ++i) {
        const auto& [name, value] = entry.fields[i];
        if (kind == "call" && name == "result") {
            line += " -> " + dump(toJson(value));
        } else {
            line += " " + name + "=" + dump(toJson(value));
        }
    }
    return line;
}

} // namespace hostsim
