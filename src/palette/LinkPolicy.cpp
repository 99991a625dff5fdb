#include "LinkPolicy.h"

#include "PercentEncoding.h"
#include "UrlHost.h"
#include "Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace trelvik {

namespace {

// How a byte is treated in a link.
enum class Byte : std::uint8_t {
    Keep = 0,  // copied as it is (keepRun relies on the 0)
    Encode,    // legal in a page's href but unsafe to hand on raw: percent-encoded where it may be
    Backslash, // a browser reads it as '/' in the authority and path, keeps it in query and fragment
    Refuse,    // never in a link we open: white space, controls, double quote
    Multibyte, // starts or continues a UTF-8 sequence: decoded and checked as a code point
};

constexpr std::array<Byte, 256> makeByteTable()
{
    std::array<Byte, 256> table{};
    for (std::size_t c = 0; c <= 0x20; ++c) {
        table[c] = Byte::Refuse;
    }
    table[0x7F] = Byte::Refuse;
    for (std::size_t c = 0x80; c < table.size(); ++c) {
        table[c] = Byte::Multibyte;
    }
    table['"'] = Byte::Refuse;
    table['\\'] = Byte::Backslash;
    for (const char c : {'|', '^', '{', '}', '`', '<', '>', '\''}) {
        table[static_cast<unsigned char>(c)] = Byte::Encode;
    }
    return table;
}

constexpr std::array<Byte, 256> byteTable = makeByteTable();

Byte classify(char c) { return byteTable[static_cast<unsigned char>(c)]; }

// Code points that are invisible or reorder text: C1 controls, non-breaking and other spaces,
// fillers and joiners, line separators, direction marks and overrides (the Arabic letter mark
// included), the byte-order mark and tags.
bool forbiddenCodePoint(char32_t cp)
{
    return (cp >= 0x80 && cp <= 0xA0) || cp == 0xAD || cp == 0x34F || cp == 0x61C || cp == 0x115F || cp == 0x1160 ||
           cp == 0x1680 || cp == 0x17B4 || cp == 0x17B5 || (cp >= 0x180B && cp <= 0x180F) ||
           (cp >= 0x2000 && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202F) || (cp >= 0x205F && cp <= 0x206F) ||
           cp == 0x3000 || cp == 0x3164 || cp == 0xFEFF || cp == 0xFFA0 || (cp >= 0xFFF9 && cp <= 0xFFFB) ||
           (cp >= 0xE0000 && cp <= 0xE007F);
}

// The URL Standard's ASCII white space: tab, LF, FF, CR and space.
bool isAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

// The message without surrounding white space and one matching pair of enclosing quotes. A text
// that opens with a quote must close with the same one; none when it does not.
std::optional<std::string_view> unquote(std::string_view message)
{
    while (!message.empty() && isAsciiSpace(message.front())) {
        message.remove_prefix(1);
    }
    while (!message.empty() && isAsciiSpace(message.back())) {
        message.remove_suffix(1);
    }
    if (message.empty() || (message.front() != '"' && message.front() != '\'')) {
        return message; // a bare link may still end in an apostrophe: it is encoded like any other
    }
    if (message.size() < 2 || message.front() != message.back()) {
        return std::nullopt;
    }
    return message.substr(1, message.size() - 2);
}

// The length of "http://" or "https://" at the start (any case), or 0.
std::size_t schemeLength(std::string_view text)
{
    const auto lower = [](char c) { return static_cast<char>(c | 0x20); };
    if (text.size() < 7 || lower(text[0]) != 'h' || lower(text[1]) != 't' || lower(text[2]) != 't' ||
        lower(text[3]) != 'p') {
        return 0;
    }
    std::size_t at = 4;
    if (lower(text[at]) == 's') {
        ++at;
    }
    return text.substr(at, 3) == "://" ? at + 3 : 0;
}

// The end of the run of Keep bytes from i. Most of a link is such a run, four bytes at a time
// (Keep is 0, so four bytes are all kept when their classes OR to 0).
std::size_t keepRun(std::string_view text, std::size_t i)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    while (size - i >= 4) {
        const auto any = static_cast<unsigned>(byteTable[bytes[i]]) | static_cast<unsigned>(byteTable[bytes[i + 1]]) |
                         static_cast<unsigned>(byteTable[bytes[i + 2]]) |
                         static_cast<unsigned>(byteTable[bytes[i + 3]]);
        if (any != 0) {
            break;
        }
        i += 4;
    }
    while (i < size && byteTable[bytes[i]] == Byte::Keep) {
        ++i;
    }
    return i;
}

// What a part of the link may hold beyond the kept bytes.
struct PartRules {
    bool encode;          // Encode bytes are percent-encoded (otherwise they refuse the link)
    bool encodeBackslash; // so is a backslash (otherwise it refuses the link)
};

constexpr PartRules hostRules{false, false};
constexpr PartRules userInfoAndPathRules{true, false};
constexpr PartRules queryAndFragmentRules{true, true};

// Checks text character by character and adds the UTF-16 units it becomes to units: false when
// a character is refused. With out, copies the text there, percent-encoding what needs it.
bool scan(std::string_view text, PartRules rules, std::size_t& units, std::string* out)
{
    units += text.size(); // bytes; each multibyte sequence gives back its extra bytes below
    std::size_t copiedUpTo = 0;
    std::size_t i = 0;
    for (;;) {
        i = keepRun(text, i);
        if (i == text.size()) {
            break;
        }
        switch (classify(text[i])) {
        case Byte::Backslash:
            if (!rules.encodeBackslash) {
                return false;
            }
            [[fallthrough]];
        case Byte::Encode:
            if (!rules.encode) {
                return false;
            }
            units += 2; // the limit is on what the shell gets: "%7C" for "|"
            if (out != nullptr) {
                out->append(text.substr(copiedUpTo, i - copiedUpTo));
                appendPercentEncoded(*out, static_cast<unsigned char>(text[i]));
                copiedUpTo = i + 1;
            }
            ++i;
            break;
        case Byte::Multibyte: {
            // Decoded through a copy: an index whose address escapes would live in memory, not in
            // a register, for the whole loop.
            std::size_t next = i;
            const std::optional<char32_t> cp = plumbing::decodeUtf8(text, next);
            if (!cp || forbiddenCodePoint(*cp)) {
                return false;
            }
            units -= next - i - (*cp >= 0x10000 ? 2 : 1); // a surrogate pair beyond the BMP
            i = next;
            break;
        }
        default:
            return false;
        }
    }
    if (out != nullptr) {
        out->append(text.substr(copiedUpTo));
    }
    return true;
}

// Where the authority ends: the first '/', '?' or '#' from start, or the end.
std::size_t authorityEnd(std::string_view link, std::size_t start)
{
    for (std::size_t i = start; i < link.size(); ++i) {
        if (link[i] == '/' || link[i] == '?' || link[i] == '#') {
            return i;
        }
    }
    return link.size();
}

// host[:port], with a host a browser accepts.
bool isValidHostAndPort(std::string_view hostAndPort)
{
    std::size_t portStart = std::string_view::npos;
    if (!hostAndPort.empty() && hostAndPort.front() == '[') {
        const std::size_t close = hostAndPort.find(']');
        if (close != std::string_view::npos && close + 1 < hostAndPort.size()) {
            if (hostAndPort[close + 1] != ':') {
                return false;
            }
            portStart = close + 1;
        }
    } else {
        portStart = hostAndPort.find(':');
    }
    const std::string_view host = hostAndPort.substr(0, portStart);
    const std::string_view port =
        portStart == std::string_view::npos ? std::string_view() : hostAndPort.substr(portStart + 1);
    return isValidUrlHost(host) && isValidUrlPort(port);
}

} // namespace

std::optional<std::string> acceptLink(std::string_view message)
{
    const std::optional<std::string_view> unquoted = unquote(message);
    if (!unquoted || unquoted->size() > 4 * maxLinkLength) {
        return std::nullopt; // mismatched quotes, or longer than any text of maxLinkLength units
    }
    const std::string_view link = *unquoted;
    const std::size_t scheme = schemeLength(link);
    if (scheme == 0) {
        return std::nullopt;
    }
    // The authority as a browser splits it: up to the first '/', '?' or '#' (a backslash, which
    // it also splits at, refuses the link), the user info before its last '@'.
    const std::size_t end = authorityEnd(link, scheme);
    const std::string_view authority = link.substr(scheme, end - scheme);
    const std::size_t at = authority.rfind('@');
    const std::string_view userInfo = at == std::string_view::npos ? std::string_view() : authority.substr(0, at);
    const std::string_view hostAndPort = at == std::string_view::npos ? authority : authority.substr(at + 1);
    const std::string_view rest = link.substr(end);
    const std::size_t pathEnd = std::min({rest.find('?'), rest.find('#'), rest.size()}); // memchr, not a loop

    std::size_t units = scheme + (at == std::string_view::npos ? 0 : 1);
    std::string opened;
    opened.reserve(link.size() + 16);
    opened.append(link.substr(0, scheme));
    if (!scan(userInfo, userInfoAndPathRules, units, &opened) || !scan(hostAndPort, hostRules, units, nullptr) ||
        !isValidHostAndPort(hostAndPort)) {
        return std::nullopt;
    }
    if (at != std::string_view::npos) {
        opened.push_back('@');
    }
    opened.append(hostAndPort);
    if (!scan(rest.substr(0, pathEnd), userInfoAndPathRules, units, &opened) ||
        !scan(rest.substr(pathEnd), queryAndFragmentRules, units, &opened) || units > maxLinkLength) {
        return std::nullopt;
    }
    return opened;
}

} // namespace trelvik
