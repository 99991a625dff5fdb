#include "Punycode.h"

#include <cstdint>

namespace trelvik {

namespace {

constexpr std::uint32_t base = 36;
constexpr std::uint32_t tMin = 1;
constexpr std::uint32_t tMax = 26;
constexpr std::uint32_t skew = 38;
constexpr std::uint32_t damp = 700;
constexpr std::uint32_t limit = 0x7FFFFFFF;

std::optional<std::uint32_t> digitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint32_t>(c - '0') + 26;
    }
    const char lower = static_cast<char>(c | 0x20);
    if (lower >= 'a' && lower <= 'z') {
        return static_cast<std::uint32_t>(lower - 'a');
    }
    return std::nullopt;
}

std::uint32_t adapt(std::uint32_t delta, std::uint32_t points, bool first)
{
    delta = first ? delta / damp : delta / 2;
    delta += delta / points;
    std::uint32_t k = 0;
    while (delta > ((base - tMin) * tMax) / 2) {
        delta /= base - tMin;
        k += base;
    }
    return k + (base - tMin + 1) * delta / (delta + skew);
}

} // namespace

std::optional<std::u32string> decodePunycode(std::string_view text)
{
    std::u32string output;
    const std::size_t delimiter = text.rfind('-');
    std::size_t at = 0;
    if (delimiter != std::string_view::npos) {
        for (const char c : text.substr(0, delimiter)) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                return std::nullopt;
            }
            output.push_back(static_cast<unsigned char>(c));
        }
        at = delimiter + 1;
    }
    std::uint32_t n = 0x80;
    std::uint32_t i = 0;
    std::uint32_t bias = 72;
    while (at < text.size()) {
        const std::uint32_t oldI = i;
        std::uint32_t weight = 1;
        for (std::uint32_t k = base;; k += base) {
            if (at >= text.size()) {
                return std::nullopt;
            }
            const std::optional<std::uint32_t> digit = digitValue(text[at++]);
            if (!digit || *digit > (limit - i) / weight) {
                return std::nullopt;
            }
            i += *digit * weight;
            const std::uint32_t t = k <= bias ? tMin : k >= bias + tMax ? tMax : k - bias;
            if (*digit < t) {
                break;
            }
            if (weight > limit / (base - t)) {
                return std::nullopt;
            }
            weight *= base - t;
        }
        const auto points = static_cast<std::uint32_t>(output.size() + 1);
        bias = adapt(i - oldI, points, oldI == 0);
        if (i / points > limit - n) {
            return std::nullopt;
        }
        n += i / points;
        i %= points;
        if (n > 0x10FFFF) {
            return std::nullopt;
        }
        output.insert(output.begin() + i, static_cast<char32_t>(n));
        ++i;
    }
    return output;
}

} // namespace trelvik
