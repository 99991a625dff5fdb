// Decoding of punycode (RFC 3492), for domain labels written as "xn--…".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trelvik {

// The code points that the punycode text (without "xn--") stands for; none when it is not
// valid punycode (bad digit, overflow, a non-ASCII basic part).
std::optional<std::u32string> decodePunycode(std::string_view text);

} // namespace trelvik
