#include <palette/LearningPageUrl.h>

#include <BuildConfig.h>

#include <gtest/gtest.h>

namespace {

const std::string prefix =
    std::string("https://") + trelvik::config::learningPageHost + "/fusion360/learning.asp?lang=";

struct UrlCase {
    int language;
    std::string entitlement;
    std::string query;
};

void PrintTo(const UrlCase& value, std::ostream* out)
{
    *out << value.language << " " << ::testing::PrintToString(value.entitlement);
}

class LearningPageUrl : public ::testing::TestWithParam<UrlCase> {};

TEST_P(LearningPageUrl, LanguageAndEncodedEntitlement)
{
    EXPECT_EQ(trelvik::learningPageUrl(GetParam().language, GetParam().entitlement), prefix + GetParam().query);
}

INSTANTIATE_TEST_SUITE_P(Table, LearningPageUrl,
                         ::testing::Values(UrlCase{2, "", "CSY&lic="}, UrlCase{0, "", "ENG&lic="},
                                           UrlCase{1, "", "ENG&lic="}, UrlCase{3, "", "ENG&lic="},
                                           UrlCase{14, "", "ENG&lic="}, UrlCase{-2, "", "ENG&lic="},
                                           UrlCase{3, "a&b", "ENG&lic=a%26b"}, UrlCase{3, "x#y", "ENG&lic=x%23y"},
                                           UrlCase{2, "two words", "CSY&lic=two%20words"},
                                           UrlCase{2, "\xC5\x99", "CSY&lic=%C5%99"},
                                           UrlCase{3, "Az09-._~+/=%", "ENG&lic=Az09-._~%2B%2F%3D%25"}));

} // namespace
