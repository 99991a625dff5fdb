// Which texts from the learning page may be opened in the browser.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trelvik {

inline constexpr std::size_t maxLinkLength = 2048;

// The link a page message asks to open, or none. One pair of enclosing double quotes is
// removed; what remains must be an absolute http or https URL with a host, at most
// maxLinkLength characters of valid UTF-8, with no white space, quotes, control characters or
// characters that could break out of a command line. Anything else opens nothing.
std::optional<std::string> acceptLink(std::string_view message);

} // namespace trelvik
