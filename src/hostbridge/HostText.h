// Host-text conversion: fixed UTF-16 texts to the UTF-8 that host operations take.
#pragma once

#include <string>
#include <string_view>

namespace trelvik {

// Encodes each UTF-16 unit on its own as the code point of the same value (one to three
// bytes). Surrogates are not paired, so every input converts and nothing can throw but
// std::bad_alloc. The fixed texts of the add-in hold no surrogates.
std::string toHostText(std::u16string_view text);

} // namespace trelvik
