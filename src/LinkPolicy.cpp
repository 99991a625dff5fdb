#include "LinkPolicy.h"

#include "Utf8.h"

namespace trelvik {

namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

// ASCII characters never allowed: they are not valid in a URL and several of them have a
// meaning to a command line or a shell ("%1" is quoted by the browser's registration).
bool forbiddenAscii(unsigned char c)
{
    if (c <= 0x20 || c == 0x7F) {
        return true;
    }
    switch (c) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
        return true;
    default:
        return false;
    }
}

// Code points that are invisible or reorder text: C1 controls, non-breaking and other spaces,
// line separators, direction overrides and the byte-order mark.
bool forbiddenCodePoint(char32_t cp)
{
    return (cp >= 0x80 && cp <= 0xA0) || cp == 0xAD || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200F) ||
           (cp >= 0x2028 && cp <= 0x202F) || (cp >= 0x205F && cp <= 0x206F) || cp == 0x3000 || cp == 0xFEFF ||
           (cp >= 0xFFF9 && cp <= 0xFFFB);
}

// Counts the characters of valid, allowed UTF-8; none when something is not allowed.
std::optional<std::size_t> countAllowedCharacters(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const std::optional<char32_t> cp = decodeUtf8(text, i);
        if (!cp || (*cp < 0x80 ? forbiddenAscii(static_cast<unsigned char>(*cp)) : forbiddenCodePoint(*cp))) {
            return std::nullopt;
        }
    }
    return count;
}

// The authority must name a host: [userinfo@]host[:port], host not empty, port digits only.
bool hasHost(std::string_view authority)
{
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    std::string_view host = authority;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos || close == 1) {
            return false;
        }
        host = authority.substr(0, close + 1);
        authority.remove_prefix(close + 1);
        if (!authority.empty() && authority.front() != ':') {
            return false;
        }
    } else {
        const std::size_t colon = authority.find(':');
        host = authority.substr(0, colon);
        authority.remove_prefix(colon == std::string_view::npos ? authority.size() : colon);
    }
    if (host.empty()) {
        return false;
    }
    if (!authority.empty()) { // ":port"
        for (const char c : authority.substr(1)) {
            if (c < '0' || c > '9') {
                return false;
            }
        }
    }
    return true;
}

} // namespace

std::optional<std::string> acceptLink(std::string_view message)
{
    if (message.size() >= 2 && message.front() == '"' && message.back() == '"') {
        message = message.substr(1, message.size() - 2);
    }
    if (message.size() > 4 * maxLinkLength) {
        return std::nullopt; // longer than any text of maxLinkLength characters
    }
    std::size_t schemeLength = 0;
    if (startsWithIgnoringCase(message, "https://")) {
        schemeLength = 8;
    } else if (startsWithIgnoringCase(message, "http://")) {
        schemeLength = 7;
    } else {
        return std::nullopt;
    }
    const std::optional<std::size_t> characters = countAllowedCharacters(message);
    if (!characters || *characters > maxLinkLength) {
        return std::nullopt;
    }
    const std::string_view rest = message.substr(schemeLength);
    if (!hasHost(rest.substr(0, rest.find_first_of("/?#")))) {
        return std::nullopt;
    }
    return std::string(message);
}

} // namespace trelvik
