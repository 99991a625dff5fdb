// Which texts from the learning page may be opened in the browser.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace trelvik {

inline constexpr std::size_t maxLinkLength = 2048;

// The link a page message asks to open, or none.
//
// ASCII white space around the message (tab, LF, FF, CR, space) is ignored and one matching pair
// of enclosing double or single quotes removed (a text that opens with a quote must close with
// the same one; a text without them is taken whole). What remains must be an absolute http or
// https URL with a host, valid UTF-8, at most maxLinkLength UTF-16 units as opened. The rule is
// to refuse only what is unsafe or what a browser would read as another authority, and to open
// every other link a browser accepts:
// - refused anywhere: a double quote, white space, controls, invisible and reordering characters;
// - the host: a name in any script, form and case, a valid IPv4 address or an IPv6 address in
//   brackets (UrlHost.h), without '%' or characters that would need encoding; a port of 0 to
//   65535; the user info before the authority's last '@';
// - a backslash refuses it in the authority and path (a browser reads it as '/');
// - percent-encoded in the user info and after the host: '| ^ { } ` < >' and the apostrophe, and
//   in the query and fragment a backslash; existing %XX escapes stay as they are.
// Other schemes (mailto: included) open nothing.
std::optional<std::string> acceptLink(std::string_view message);

} // namespace trelvik
