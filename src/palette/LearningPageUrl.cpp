#include "LearningPageUrl.h"

#include "BuildConfig.h"
#include "PercentEncoding.h"

#include <Core/CoreTypeDefs.h>

namespace trelvik {

namespace core = adsk::core;

std::string learningPageUrl(int userLanguage, std::string_view entitlement)
{
    const char* languageCode = userLanguage == core::CzechLanguage ? "CSY" : "ENG";
    return std::string("https://") + config::learningPageHost + "/fusion360/learning.asp?lang=" + languageCode +
           "&lic=" + percentEncode(entitlement);
}

} // namespace trelvik
