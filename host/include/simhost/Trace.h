// The trace: every effect the add-in has on the simulated host, in order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace simhost {

using TraceValue = std::variant<bool, std::int64_t, std::string, std::vector<std::string>>;

// One effect: an ordered list of named fields. The first field names its kind
// ("call", "op" or "action").
struct TraceEntry {
    std::vector<std::pair<std::string, TraceValue>> fields;

    TraceEntry& add(std::string name, TraceValue value)
    {
        fields.emplace_back(std::move(name), std::move(value));
        return *this;
    }

    // The value of a field, or nullptr.
    [[nodiscard]] const TraceValue* find(std::string_view name) const
    {
        for (const auto& [key, value] : fields) {
            if (key == name) {
                return &value;
            }
        }
        return nullptr;
    }

    // Convenience for tests: the field as text ("" when absent or not text).
    [[nodiscard]] std::string text(std::string_view name) const
    {
        const TraceValue* value = find(name);
        const auto* str = value != nullptr ? std::get_if<std::string>(value) : nullptr;
        return str != nullptr ? *str : std::string();
    }

    [[nodiscard]] bool is(std::string_view kind, std::string_view value) const { return text(kind) == value; }
};

} // namespace simhost
