// Fuzzes the page-message link check. Invariant: whatever is accepted is the message (less one
// pair of enclosing quotes), an absolute http(s) URL with a host, at most 2,048 characters, and
// free of every byte that could break out of a command line.
#include <LinkPolicy.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// The text after "http://" or "https://" (any case), or none.
std::optional<std::string_view> afterScheme(std::string_view link)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const std::string_view scheme : {"http://", "https://"}) {
        bool same = link.size() >= scheme.size();
        for (std::size_t i = 0; same && i < scheme.size(); ++i) {
            same = lower(link[i]) == scheme[i];
        }
        if (same) {
            return link.substr(scheme.size());
        }
    }
    return std::nullopt;
}

// The authority ([userinfo@]host[:port]) names a host.
bool hasHost(std::string_view rest)
{
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    const std::size_t hostEnd =
        !authority.empty() && authority.front() == '[' ? authority.find(']') + 1 : authority.find(':');
    return !authority.substr(0, hostEnd).empty() && authority.substr(0, hostEnd) != "[]";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view message(reinterpret_cast<const char*>(data), size);
    const auto link = trelvik::acceptLink(message);
    if (!link) {
        return 0;
    }
    const bool quoted = message.size() >= 2 && message.front() == '"' && message.back() == '"';
    check(*link == (quoted ? message.substr(1, message.size() - 2) : message));
    const auto rest = afterScheme(*link);
    check(rest.has_value() && hasHost(*rest));
    std::size_t characters = 0;
    for (const char c : *link) {
        const auto byte = static_cast<unsigned char>(c);
        check(byte > 0x20 && byte != 0x7F);
        check(std::string_view("\"<>\\^`{|}").find(c) == std::string_view::npos);
        characters += (byte & 0xC0U) != 0x80U ? 1 : 0;
    }
    check(characters <= trelvik::maxLinkLength);
    return 0;
}
