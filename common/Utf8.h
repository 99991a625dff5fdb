// UTF-8 and UTF-16, written once: strict decoding of one UTF-8 sequence (the link check), and
// whole texts from one to the other (the Linux stand-in for MultiByteToWideChar, the trace of shell
// opens, the desktop's opener, paths and command lines on Windows).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace plumbing {

// Decodes the sequence that starts at text[at]. On success returns the code point and moves at
// past the sequence; overlong forms, surrogates, values above U+10FFFF, stray continuation bytes
// and cut sequences give none and leave at unchanged.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& at);

// UTF-16 to UTF-8: a surrogate pair as its code point, an unpaired surrogate as U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// UTF-8 to UTF-16, as MultiByteToWideChar converts without MB_ERR_INVALID_CHARS: a byte that
// starts no valid sequence becomes U+FFFD, one byte at a time.
std::u16string utf8ToUtf16(std::string_view text);

} // namespace plumbing
