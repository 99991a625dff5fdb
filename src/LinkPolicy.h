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
// ASCII white space around the message is ignored and one matching pair of enclosing double or
// single quotes removed (mismatched quotes open nothing; a text without quotes is taken whole).
// What remains must be an absolute http or https URL whose host a browser accepts: a domain of
// letters, digits, '-' and '.', a valid IPv4 address, or an IPv6 address in brackets, with an
// optional port of 0 to 65535 and optional user info; valid UTF-8, and at most maxLinkLength
// characters as opened (after the encoding below). White space, quotes, backslashes, control and invisible characters refuse it anywhere;
// '| ^ { } ` < >' refuse it before the path and are percent-encoded in the path, query and
// fragment, where existing %XX escapes stay as they are. Other schemes (mailto: included) open
// nothing.
std::optional<std::string> acceptLink(std::string_view message);

} // namespace trelvik
