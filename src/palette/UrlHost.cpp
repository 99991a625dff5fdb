#include "UrlHost.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace trelvik {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
unsigned hexValue(char c)
{
    return isDigit(c) ? static_cast<unsigned>(c - '0') : static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

// One part of an IPv4 address as browsers read it: decimal, octal with a leading 0, or hex
// with 0x; values past 32 bits are capped (they are out of range anyway).
std::optional<std::uint64_t> ipv4Number(std::string_view text)
{
    if (text.empty()) {
        return std::nullopt;
    }
    unsigned radix = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        radix = 16;
        text.remove_prefix(2);
    } else if (text.size() >= 2 && text[0] == '0') {
        radix = 8;
        text.remove_prefix(1);
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        const bool valid = radix == 16 ? isHexDigit(c) : radix == 8 ? (c >= '0' && c <= '7') : isDigit(c);
        if (!valid) {
            return std::nullopt;
        }
        if (value <= UINT64_C(0xFFFFFFFF)) {
            value = value * radix + hexValue(c);
        }
    }
    return value;
}

// The host without one final empty label (a trailing dot).
std::string_view withoutFinalDot(std::string_view host)
{
    return host.size() > 1 && host.back() == '.' ? host.substr(0, host.size() - 1) : host;
}

std::string_view lastLabel(std::string_view host)
{
    const std::size_t dot = host.rfind('.');
    return dot == std::string_view::npos ? host : host.substr(dot + 1);
}

// A host whose last label is a number is an IPv4 address to a browser, or nothing.
bool endsInNumber(std::string_view host)
{
    const std::string_view last = lastLabel(withoutFinalDot(host));
    if (last.empty()) {
        return false;
    }
    bool digitsOnly = true;
    for (const char c : last) {
        digitsOnly = digitsOnly && isDigit(c);
    }
    return digitsOnly || ipv4Number(last).has_value();
}

bool isValidIpv4(std::string_view host)
{
    host = withoutFinalDot(host);
    std::uint64_t numbers[4] = {};
    std::size_t count = 0;
    for (;;) {
        const std::size_t dot = host.find('.');
        const std::optional<std::uint64_t> number = ipv4Number(host.substr(0, dot));
        if (count == 4 || !number) {
            return false;
        }
        numbers[count++] = *number;
        if (dot == std::string_view::npos) {
            break;
        }
        host.remove_prefix(dot + 1);
    }
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (numbers[i] > 255) {
            return false;
        }
    }
    // The last part fills the bytes the others left: 256 ^ (5 - count) values.
    return numbers[count - 1] < (UINT64_C(1) << (8 * (5 - count)));
}

// The URL Standard's forbidden domain code points of ASCII: controls, space and
// "# % / : < > ? @ [ \\ ] ^ |". Characters beyond ASCII are the caller's to check.
constexpr std::array<bool, 256> makeForbiddenInDomain()
{
    std::array<bool, 256> table{};
    for (std::size_t c = 0; c <= 0x20; ++c) {
        table[c] = true;
    }
    table[0x7F] = true;
    for (const char c : std::string_view("#%/:<>?@[\\]^|")) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}

constexpr std::array<bool, 256> forbiddenInDomain = makeForbiddenInDomain();

// Whether a name exists, and how its letters map, is the browser's call: anything but the
// characters that would make it another host, or none, is a name.
bool isValidDomain(std::string_view host)
{
    // std::ranges::none_of is not in every standard library the add-in is built with (libc++ 14).
    return std::none_of(host.begin(), host.end(),
                        [](char c) { return forbiddenInDomain[static_cast<unsigned char>(c)]; });
}

// An IPv4 address at the end of an IPv6 address: exactly four decimal parts, none with a leading
// zero or above 255.
bool isEmbeddedIpv4(std::string_view text)
{
    int numbers = 0;
    for (std::size_t at = 0; at < text.size(); ++numbers) {
        if (numbers > 0) {
            if (text[at] != '.' || numbers >= 4) {
                return false;
            }
            ++at;
        }
        if (at >= text.size() || !isDigit(text[at])) {
            return false;
        }
        for (int value = -1; at < text.size() && isDigit(text[at]); ++at) {
            if (value == 0) {
                return false; // a leading zero
            }
            value = (value < 0 ? 0 : value * 10) + (text[at] - '0');
            if (value > 255) {
                return false;
            }
        }
    }
    return numbers == 4;
}

} // namespace

bool isValidIpv6(std::string_view text)
{
    // The address grammar of the URL Standard, checking only.
    std::size_t at = 0;
    const auto peek = [&](std::size_t offset = 0) { return at + offset < text.size() ? text[at + offset] : '\0'; };
    int piece = 0;
    bool compressed = false;
    if (peek() == ':') {
        if (peek(1) != ':') {
            return false;
        }
        at += 2;
        ++piece;
        compressed = true;
    }
    while (at < text.size()) {
        if (piece == 8) {
            return false;
        }
        if (peek() == ':') {
            if (compressed) {
                return false;
            }
            ++at;
            ++piece;
            compressed = true;
            continue;
        }
        std::size_t length = 0;
        while (length < 4 && isHexDigit(peek())) {
            ++at;
            ++length;
        }
        if (peek() == '.') {
            // An IPv4 address in the last 32 bits.
            return length != 0 && piece <= 6 && isEmbeddedIpv4(text.substr(at - length)) && (compressed || piece == 6);
        }
        if (peek() == ':') {
            ++at;
            if (at == text.size()) {
                return false;
            }
        } else if (at < text.size()) {
            return false;
        }
        ++piece;
    }
    return compressed || piece == 8;
}

bool isValidUrlPort(std::string_view port)
{
    std::uint32_t value = 0;
    for (const char c : port) {
        if (!isDigit(c)) {
            return false;
        }
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
        if (value > 65535) {
            return false;
        }
    }
    return true;
}

bool isValidUrlHost(std::string_view host)
{
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        return isValidIpv6(host.substr(1, host.size() - 2));
    }
    if (host.empty() || host.front() == '[') {
        return false;
    }
    return endsInNumber(host) ? isValidIpv4(host) : isValidDomain(host);
}

} // namespace trelvik
