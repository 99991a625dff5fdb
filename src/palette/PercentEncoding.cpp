#include "PercentEncoding.h"

namespace trelvik {

void appendPercentEncoded(std::string& out, unsigned char byte)
{
    constexpr std::string_view hex = "0123456789ABCDEF";
    out.push_back('%');
    out.push_back(hex[byte >> 4U]);
    out.push_back(hex[byte & 0xFU]);
}

std::string percentEncode(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                                byte == '~';
        if (unreserved) {
            out += c;
        } else {
            appendPercentEncoded(out, byte);
        }
    }
    return out;
}

} // namespace trelvik
