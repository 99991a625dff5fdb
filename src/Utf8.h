// Strict decoding of one UTF-8 sequence, shared by the link check and the Linux stand-in for
// MultiByteToWideChar.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace trelvik {

// Decodes the sequence that starts at text[at]. On success returns the code point and moves at
// past the sequence; overlong forms, surrogates, values above U+10FFFF, stray continuation bytes
// and cut sequences give none and leave at unchanged.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& at);

} // namespace trelvik
