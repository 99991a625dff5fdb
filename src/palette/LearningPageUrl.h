// The learning page URL, composed from the host's language and entitlement text.
#pragma once

#include <string>
#include <string_view>

namespace trelvik {

// "https://<host>/fusion360/learning.asp?lang=<CSY|ENG>&lic=<entitlement, percent-encoded>".
std::string learningPageUrl(int userLanguage, std::string_view entitlement);

} // namespace trelvik
