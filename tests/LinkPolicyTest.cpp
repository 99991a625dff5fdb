#include <LinkPolicy.h>

#include <gtest/gtest.h>

namespace {

struct LinkCase {
    std::string message;
    std::optional<std::string> opened;
};

void PrintTo(const LinkCase& value, std::ostream* out) { *out << ::testing::PrintToString(value.message); }

class LinkPolicy : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkPolicy, OpensOnlyAbsoluteWebLinks) { EXPECT_EQ(trelvik::acceptLink(GetParam().message), GetParam().opened); }

const std::optional<std::string> none;

INSTANTIATE_TEST_SUITE_P(
    Accepted, LinkPolicy,
    ::testing::Values(LinkCase{"\"https://example.com/x\"", "https://example.com/x"},
                      LinkCase{"https://example.com/x", "https://example.com/x"},
                      LinkCase{"\"http://example.com\"", "http://example.com"},
                      LinkCase{"\"HTTPS://Example.com/A?b=1&c=2#frag\"", "HTTPS://Example.com/A?b=1&c=2#frag"},
                      LinkCase{"\"https://example.com:8443/p\"", "https://example.com:8443/p"},
                      LinkCase{"\"https://[::1]:8080/\"", "https://[::1]:8080/"},
                      LinkCase{"\"https://user@example.com/\"", "https://user@example.com/"},
                      LinkCase{"\"https://www.trelvik.cz/kurzy/české-ř\"", "https://www.trelvik.cz/kurzy/české-ř"},
                      LinkCase{"\"https://example.com/%22q%20\"", "https://example.com/%22q%20"}));

INSTANTIATE_TEST_SUITE_P(
    Rejected, LinkPolicy,
    ::testing::Values(
        LinkCase{"", none}, LinkCase{"\"", none}, LinkCase{"\"\"", none}, LinkCase{"x", none},
        LinkCase{"\"file:///C:/Windows/System32/calc.exe\"", none}, LinkCase{"\"javascript:alert(1)\"", none},
        LinkCase{"\"data:text/html,hi\"", none}, LinkCase{"\"\\\\\\\\server\\\\share\\\\x.exe\"", none},
        LinkCase{"\"C:\\\\Windows\\\\x.exe\"", none}, LinkCase{"\"calc.exe\"", none},
        LinkCase{"\"ftp://example.com/\"", none}, LinkCase{"\"https://\"", none}, LinkCase{"\"https:///path\"", none},
        LinkCase{"\"https://:80/\"", none}, LinkCase{"\"https://example.com:8o/\"", none},
        LinkCase{"\"https:example.com\"", none}, LinkCase{"\"https://exa mple.com/\"", none},
        LinkCase{"\"https://example.com/a\" --x \"b\"", none}, LinkCase{"\"https://example.com/\"x\"", none},
        LinkCase{"\"https://example.com/\tx\"", none}, LinkCase{"\"https://example.com/\nx\"", none},
        LinkCase{"\"https://example.com/|x\"", none}, LinkCase{"\"https://example.com/^x\"", none},
        LinkCase{"\"https://example.com\\\\x\"", none}, LinkCase{"\"https://example.com/<x>\"", none},
        LinkCase{"\"https://example.com/\xC2\xA0x\"", none}, // no-break space
        // NOLINTNEXTLINE(misc-misleading-bidirectional): the override is what is tested
        LinkCase{"\"https://example.com/\xE2\x80\xAEx\"", none}, // right-to-left override
        LinkCase{"\"https://example.com/\xFF\"", none},          // not UTF-8
        LinkCase{"\"https://example.com/\xC4\"", none},          // cut sequence
        LinkCase{"\"https://example.com/\xED\xA0\x80\"", none},  // surrogate
        LinkCase{"\"https://example.com/\xC0\xAF\"", none}));    // overlong

TEST(LinkPolicyLength, AtMost2048Characters)
{
    const std::string prefix = "https://example.com/";
    const std::string longest = prefix + std::string(2048 - prefix.size(), 'a');
    EXPECT_EQ(trelvik::acceptLink("\"" + longest + "\""), longest);
    EXPECT_EQ(trelvik::acceptLink("\"" + longest + "a\""), none);
    // Characters, not bytes: 2048 characters of which many are two-byte letters.
    std::string czech = prefix;
    while (czech.size() < prefix.size() + 2 * (2048 - prefix.size())) {
        czech += "\xC5\x99";
    }
    EXPECT_EQ(trelvik::acceptLink(czech), czech);
}

} // namespace
