#include "LinkPolicy.h"

#include "UrlHost.h"
#include "Utf8.h"

#include <array>
#include <cstdint>

namespace trelvik {

namespace {

// How a byte is treated in a link.
enum class Byte : std::uint8_t {
    Keep = 0,  // copied as it is (keepRun relies on the 0)
    Encode,    // legal in a page's href but unsafe to hand on raw: percent-encoded after the host
    Refuse,    // never in a link we open: white space, controls, quotes, backslash
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
    for (const char c : {'"', '\'', '\\'}) {
        table[static_cast<unsigned char>(c)] = Byte::Refuse;
    }
    for (const char c : {'|', '^', '{', '}', '`', '<', '>'}) {
        table[static_cast<unsigned char>(c)] = Byte::Encode;
    }
    return table;
}

constexpr std::array<Byte, 256> byteTable = makeByteTable();

Byte classify(char c) { return byteTable[static_cast<unsigned char>(c)]; }

// Code points that are invisible or reorder text: C1 controls, non-breaking and other spaces,
// line separators, direction overrides and the byte-order mark.
bool forbiddenCodePoint(char32_t cp)
{
    return (cp >= 0x80 && cp <= 0xA0) || cp == 0xAD || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200F) ||
           (cp >= 0x2028 && cp <= 0x202F) || (cp >= 0x205F && cp <= 0x206F) || cp == 0x3000 || cp == 0xFEFF ||
           (cp >= 0xFFF9 && cp <= 0xFFFB);
}

bool isAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The message without surrounding white space and one matching pair of quotes; none when the
// quotes do not match.
std::optional<std::string_view> unquote(std::string_view message)
{
    while (!message.empty() && isAsciiSpace(message.front())) {
        message.remove_prefix(1);
    }
    while (!message.empty() && isAsciiSpace(message.back())) {
        message.remove_suffix(1);
    }
    const auto isQuote = [](char c) { return c == '"' || c == '\''; };
    if (message.empty() || (!isQuote(message.front()) && !isQuote(message.back()))) {
        return message;
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

// Checks text character by character and adds the characters it becomes to count: false when a
// character is refused (or, with encodeUnsafe false, would need encoding). With out, copies
// the text there, percent-encoding what needs it.
bool scan(std::string_view text, bool encodeUnsafe, std::size_t& count, std::string* out)
{
    count += text.size(); // bytes; each multibyte sequence gives back its extra bytes below
    std::size_t copiedUpTo = 0;
    std::size_t i = 0;
    for (;;) {
        i = keepRun(text, i);
        if (i == text.size()) {
            break;
        }
        switch (classify(text[i])) {
        case Byte::Encode:
            if (!encodeUnsafe) {
                return false;
            }
            count += 2; // the limit is on what the shell gets: "%7C" for "|"
            if (out != nullptr) {
                const auto byte = static_cast<unsigned char>(text[i]);
                out->append(text.substr(copiedUpTo, i - copiedUpTo));
                out->push_back('%');
                out->push_back("0123456789ABCDEF"[byte >> 4U]);
                out->push_back("0123456789ABCDEF"[byte & 0xFU]);
                copiedUpTo = i + 1;
            }
            ++i;
            break;
        case Byte::Multibyte: {
            // Decoded through a copy: an index whose address escapes would live in memory, not in
            // a register, for the whole loop.
            std::size_t next = i;
            const std::optional<char32_t> cp = decodeUtf8(text, next);
            if (!cp || forbiddenCodePoint(*cp)) {
                return false;
            }
            count -= next - i - 1;
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

// [userinfo@]host[:port], with a host a browser accepts.
bool isValidAuthority(std::string_view authority)
{
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    std::size_t portStart = std::string_view::npos;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close != std::string_view::npos && close + 1 < authority.size()) {
            if (authority[close + 1] != ':') {
                return false;
            }
            portStart = close + 1;
        }
    } else {
        portStart = authority.find(':');
    }
    const std::string_view host = authority.substr(0, portStart);
    const std::string_view port =
        portStart == std::string_view::npos ? std::string_view() : authority.substr(portStart + 1);
    return isValidUrlHost(host) && isValidUrlPort(port);
}

} // namespace

std::optional<std::string> acceptLink(std::string_view message)
{
    const std::optional<std::string_view> unquoted = unquote(message);
    if (!unquoted || unquoted->size() > 4 * maxLinkLength) {
        return std::nullopt; // mismatched quotes, or longer than any text of maxLinkLength characters
    }
    const std::string_view link = *unquoted;
    const std::size_t scheme = schemeLength(link);
    if (scheme == 0) {
        return std::nullopt;
    }
    const std::size_t end = authorityEnd(link, scheme);
    const std::string_view authority = link.substr(scheme, end - scheme);
    const std::string_view rest = link.substr(end);

    std::size_t characters = scheme;
    if (!scan(authority, false, characters, nullptr) || !isValidAuthority(authority)) {
        return std::nullopt;
    }
    std::string opened;
    opened.reserve(link.size() + 16);
    opened.append(link.substr(0, scheme + authority.size()));
    if (!scan(rest, true, characters, &opened) || characters > maxLinkLength) {
        return std::nullopt;
    }
    return opened;
}

} // namespace trelvik
