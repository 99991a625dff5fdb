// Fuzzes the page-message link check. Invariants: whatever is opened is the page's link (white
// space and one pair of matching quotes removed) with only '| ^ { } ` < > \'' in the user info and
// after the host, and a backslash in the query or fragment, percent-encoded; an absolute http(s)
// URL whose authority names a host without '%' and a port of at most 65535; at most 2,048 UTF-16
// units; free of every byte that could break out of a command line. (Whether a browser accepts the host is held against
// one in the differential test, which needs Node.)
#include <palette/LinkPolicy.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

// The page's link: surrounding white space and one matching pair of quotes removed.
std::string_view pageLink(std::string_view message)
{
    while (!message.empty() && isSpace(message.front())) {
        message.remove_prefix(1);
    }
    while (!message.empty() && isSpace(message.back())) {
        message.remove_suffix(1);
    }
    const bool opensWithQuote = !message.empty() && (message.front() == '"' || message.front() == '\'');
    check(!opensWithQuote || (message.size() >= 2 && message.back() == message.front()));
    return opensWithQuote ? message.substr(1, message.size() - 2) : message;
}

// The length of "http://" or "https://" (any case).
std::size_t schemeLength(std::string_view link)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const std::string_view scheme : {"https://", "http://"}) {
        bool same = link.size() >= scheme.size();
        for (std::size_t i = 0; same && i < scheme.size(); ++i) {
            same = lower(link[i]) == scheme[i];
        }
        if (same) {
            return scheme.size();
        }
    }
    return 0;
}

void appendEncoded(std::string& out, std::string_view text, std::string_view encodedSet)
{
    for (const char c : text) {
        if (encodedSet.find(c) != std::string_view::npos) {
            out += '%';
            out += "0123456789ABCDEF"[static_cast<unsigned char>(c) >> 4U];
            out += "0123456789ABCDEF"[static_cast<unsigned char>(c) & 0xFU];
        } else {
            out += c;
        }
    }
}

// The page's link as it is to be opened.
std::string encoded(std::string_view page, std::size_t scheme, std::size_t authorityEnd)
{
    const std::string_view unsafe = "|^{}`<>'";
    const std::string_view authority = page.substr(scheme, authorityEnd - scheme);
    const std::size_t at = authority.rfind('@');
    std::string out(page.substr(0, scheme));
    if (at != std::string_view::npos) {
        appendEncoded(out, authority.substr(0, at), unsafe);
        out += '@';
    }
    out += authority.substr(at == std::string_view::npos ? 0 : at + 1);
    const std::string_view rest = page.substr(authorityEnd);
    const std::size_t pathEnd = std::min(rest.find_first_of("?#"), rest.size());
    appendEncoded(out, rest.substr(0, pathEnd), unsafe);
    appendEncoded(out, rest.substr(pathEnd), "|^{}`<>'\\");
    return out;
}

void checkAuthority(std::string_view authority)
{
    check(authority.find('\\') == std::string_view::npos);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    check(authority.find_first_of("|^{}`<>'") == std::string_view::npos);
    std::size_t colon = authority.find(':');
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        check(close != std::string_view::npos && close > 1);
        colon = close + 1 < authority.size() ? close + 1 : std::string_view::npos;
    }
    const std::string_view host = authority.substr(0, colon);
    check(!host.empty() && host.find('%') == std::string_view::npos);
    if (colon != std::string_view::npos) {
        const std::string_view port = authority.substr(colon + 1);
        check(port.find_first_not_of("0123456789") == std::string_view::npos);
        check(port.empty() || std::strtol(std::string(port).c_str(), nullptr, 10) <= 65535);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view message(reinterpret_cast<const char*>(data), size);
    const auto link = trelvik::acceptLink(message);
    if (!link) {
        return 0;
    }
    const std::string_view page = pageLink(message);
    const std::size_t scheme = schemeLength(page);
    check(scheme > 0);
    const std::size_t authorityEnd = std::min(page.find_first_of("/?#", scheme), page.size());
    check(*link == encoded(page, scheme, authorityEnd));
    checkAuthority(page.substr(scheme, authorityEnd - scheme));
    std::size_t units = 0;
    for (const char c : *link) {
        const auto byte = static_cast<unsigned char>(c);
        check(byte > 0x20 && byte != 0x7F);
        check(std::string_view("\"'<>\\^`{|}").find(c) == std::string_view::npos);
        units += (byte & 0xC0U) == 0x80U ? 0 : byte >= 0xF0U ? 2 : 1; // UTF-16 units, as the shell gets them
    }
    check(units <= trelvik::maxLinkLength);
    return 0;
}
