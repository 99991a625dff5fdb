// Fuzzes the page-message link check. Invariants: whatever is opened is the page's link (white
// space and one pair of matching quotes removed) with only '| ^ { } ` < >' after the host
// percent-encoded; an absolute http(s) URL whose authority names a host without '%' and a port
// of at most 65535; at most 2,048 characters; free of every byte that could break out of a
// command line. (Whether a browser accepts the host is held against one in the differential
// test, which needs Node.)
#include <LinkPolicy.h>

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

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The page's link: surrounding white space and one matching pair of quotes removed.
std::string_view pageLink(std::string_view message)
{
    while (!message.empty() && isSpace(message.front())) {
        message.remove_prefix(1);
    }
    while (!message.empty() && isSpace(message.back())) {
        message.remove_suffix(1);
    }
    const bool quoted =
        message.size() >= 2 && (message.front() == '"' || message.front() == '\'') && message.back() == message.front();
    check(quoted ||
          (message.front() != '"' && message.front() != '\'' && message.back() != '"' && message.back() != '\''));
    return quoted ? message.substr(1, message.size() - 2) : message;
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

std::string encoded(std::string_view page, std::size_t authorityEnd)
{
    std::string out(page.substr(0, authorityEnd));
    for (const char c : page.substr(authorityEnd)) {
        if (std::string_view("|^{}`<>").find(c) != std::string_view::npos) {
            out += '%';
            out += "0123456789ABCDEF"[static_cast<unsigned char>(c) >> 4U];
            out += "0123456789ABCDEF"[static_cast<unsigned char>(c) & 0xFU];
        } else {
            out += c;
        }
    }
    return out;
}

void checkAuthority(std::string_view authority)
{
    check(authority.find_first_of("|^{}`<>") == std::string_view::npos);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
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
    check(*link == encoded(page, authorityEnd));
    checkAuthority(page.substr(scheme, authorityEnd - scheme));
    std::size_t characters = 0;
    for (const char c : *link) {
        const auto byte = static_cast<unsigned char>(c);
        check(byte > 0x20 && byte != 0x7F);
        check(std::string_view("\"'<>\\^`{|}").find(c) == std::string_view::npos);
        characters += (byte & 0xC0U) != 0x80U ? 1 : 0;
    }
    check(characters <= trelvik::maxLinkLength);
    return 0;
}
