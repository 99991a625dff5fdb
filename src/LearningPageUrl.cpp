#include "LearningPageUrl.h"

#include "BuildConfig.h"

#include <Core/CoreTypeDefs.h>

namespace trelvik {

namespace core = adsk::core;

std::string percentEncode(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
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
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
    return out;
}

std::string learningPageUrl(int userLanguage, std::string_view entitlement)
{
    const char* languageCode = userLanguage == core::CzechLanguage ? "CSY" : "ENG";
    return std::string("https://") + config::learningPageHost + "/fusion360/learning.asp?lang=" + languageCode +
           "&lic=" + percentEncode(entitlement);
}

} // namespace trelvik
