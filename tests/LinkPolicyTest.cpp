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
                      LinkCase{"'https://example.com/a'", "https://example.com/a"},
                      LinkCase{" \t\"https://example.com/a\"\r\n", "https://example.com/a"},
                      LinkCase{"\"http://example.com\"", "http://example.com"},
                      LinkCase{"\"HTTPS://Example.com/A?b=1&c=2#frag\"", "HTTPS://Example.com/A?b=1&c=2#frag"},
                      LinkCase{"\"https://example.com:8443/p\"", "https://example.com:8443/p"},
                      LinkCase{"\"https://example.com:65535/\"", "https://example.com:65535/"},
                      LinkCase{"\"https://example.com:/\"", "https://example.com:/"},
                      LinkCase{"\"https://example.com./\"", "https://example.com./"},
                      LinkCase{"\"https://user@example.com/\"", "https://user@example.com/"},
                      LinkCase{"\"https://user:pw@example.com/\"", "https://user:pw@example.com/"},
                      LinkCase{"\"https://příklad.cz/\"", "https://příklad.cz/"},
                      LinkCase{"\"https://xn--pklad-zsa96e.cz/\"", "https://xn--pklad-zsa96e.cz/"},
                      LinkCase{"\"https://XN--PKLAD-ZSA96E.cz/\"", "https://XN--PKLAD-ZSA96E.cz/"},
                      LinkCase{"\"https://xn--ii-0ia.com/\"", "https://xn--ii-0ia.com/"},
                      LinkCase{"\"https://www.trelvik.cz/kurzy/české-ř\"", "https://www.trelvik.cz/kurzy/české-ř"},
                      LinkCase{"\"https://example.com/%22q%20\"", "https://example.com/%22q%20"},
                      LinkCase{"\"https://example.com/100%\"", "https://example.com/100%"},
                      // Addresses in every form a browser reads.
                      LinkCase{"\"http://127.0.0.1:8080/x\"", "http://127.0.0.1:8080/x"},
                      LinkCase{"\"http://0x7f.1/\"", "http://0x7f.1/"},
                      LinkCase{"\"http://017700000001/\"", "http://017700000001/"},
                      LinkCase{"\"http://4294967295/\"", "http://4294967295/"},
                      LinkCase{"\"https://[2001:db8::7]/\"", "https://[2001:db8::7]/"},
                      LinkCase{"\"https://[::1]:8080/\"", "https://[::1]:8080/"},
                      LinkCase{"\"https://[::ffff:192.0.2.1]/\"", "https://[::ffff:192.0.2.1]/"},
                      LinkCase{"\"https://[1:2:3:4:5:6:7:8]/\"", "https://[1:2:3:4:5:6:7:8]/"},
                      // Legal in a page's href, unsafe raw: encoded after the host, one each.
                      LinkCase{"\"https://example.com/a|b\"", "https://example.com/a%7Cb"},
                      LinkCase{"\"https://example.com/a^b\"", "https://example.com/a%5Eb"},
                      LinkCase{"\"https://example.com/a{b\"", "https://example.com/a%7Bb"},
                      LinkCase{"\"https://example.com/a}b\"", "https://example.com/a%7Db"},
                      LinkCase{"\"https://example.com/a`b\"", "https://example.com/a%60b"},
                      LinkCase{"\"https://example.com/?q=<b>\"", "https://example.com/?q=%3Cb%3E"},
                      LinkCase{"\"https://example.com#|\"", "https://example.com#%7C"}));

INSTANTIATE_TEST_SUITE_P(
    Rejected, LinkPolicy,
    ::testing::Values(
        LinkCase{"", none}, LinkCase{"\"", none}, LinkCase{"\"\"", none}, LinkCase{"x", none},
        // Quotes that do not pair.
        LinkCase{"\"https://example.com/'", none}, LinkCase{"'https://example.com/\"", none},
        LinkCase{"\"https://example.com/", none}, LinkCase{"https://example.com/\"", none},
        // Other schemes.
        LinkCase{"\"file:///C:/Windows/System32/calc.exe\"", none}, LinkCase{"\"javascript:alert(1)\"", none},
        LinkCase{"\"data:text/html,hi\"", none}, LinkCase{"\"mailto:x@example.cz\"", none},
        LinkCase{"\"tel:+420123456789\"", none}, LinkCase{"\"ftp://example.com/\"", none},
        LinkCase{"\"\\\\\\\\server\\\\share\\\\x.exe\"", none}, LinkCase{"\"C:\\\\Windows\\\\x.exe\"", none},
        LinkCase{"\"calc.exe\"", none}, LinkCase{"\"https:example.com\"", none},
        // Hosts no browser accepts.
        LinkCase{"\"https://\"", none}, LinkCase{"\"https:///path\"", none}, LinkCase{"\"https://:80/\"", none},
        LinkCase{"\"https://example.com:8o/\"", none}, LinkCase{"\"https://example.com:99999/\"", none},
        LinkCase{"\"https://example.com:65536/\"", none}, LinkCase{"\"HTTPS://E%XAMPLE.COM/\"", none},
        LinkCase{"\"https://]example.com/a\"", none}, LinkCase{"\"http://1.2.3-.4/\"", none},
        LinkCase{"\"http://1*1.2.3.4/\"", none}, LinkCase{"\"http://256.0.0.1/\"", none},
        LinkCase{"\"http://1.2.3.4.5/\"", none}, LinkCase{"\"http://09.1.1.1/\"", none},
        LinkCase{"\"http://1.2.3.256/\"", none}, LinkCase{"\"http://4294967296/\"", none},
        LinkCase{"\"https://xn--a.com/\"", none}, LinkCase{"\"https://xn--abc.com/\"", none},
        LinkCase{"\"https://xn--.com/\"", none}, LinkCase{"\"https://xn--gga.cz/\"", none},
        LinkCase{"\"https://a..b/\"", none}, LinkCase{"\"https://.a/\"", none}, LinkCase{"\"https://a_b.cz/\"", none},
        LinkCase{"\"https://[]/\"", none}, LinkCase{"\"https://[::1/\"", none}, LinkCase{"\"https://[::1]x/\"", none},
        LinkCase{"\"https://[1:2:3:4:5:6:7:8:9]/\"", none}, LinkCase{"\"https://[1::2::3]/\"", none},
        LinkCase{"\"https://[::1.2.3]/\"", none}, LinkCase{"\"https://[::01.2.3.4]/\"", none},
        LinkCase{"\"https://[fe80::1%25eth0]/\"", none}, LinkCase{"\"https://ex\xE2\x82\xACmple.com/\"", none},
        // Unsafe characters before the path are refused, not encoded: one each.
        LinkCase{"\"https://exa|mple.com/\"", none}, LinkCase{"\"https://exa^mple.com/\"", none},
        LinkCase{"\"https://exa{mple.com/\"", none}, LinkCase{"\"https://exa}mple.com/\"", none},
        LinkCase{"\"https://exa`mple.com/\"", none}, LinkCase{"\"https://exa<mple.com/\"", none},
        LinkCase{"\"https://exa>mple.com/\"", none}, LinkCase{"\"https://us|er@example.com/\"", none},
        // Refused anywhere: white space, quotes, backslash, controls.
        LinkCase{"\"https://exa mple.com/\"", none}, LinkCase{"\"https://example.com/a\" --x \"b\"", none},
        LinkCase{"\"https://example.com/\"x\"", none}, LinkCase{"\"https://example.com/it's\"", none},
        LinkCase{"\"https://example.com\\\\x\"", none}, LinkCase{"\"https://example.com/\tx\"", none},
        LinkCase{"\"https://example.com/\nx\"", none}, LinkCase{"\"https://example.com/\rx\"", none},
        LinkCase{std::string("\"https://example.com/\0x\"", 24), none}, LinkCase{"\"https://example.com/\x01x\"", none},
        LinkCase{"\"https://example.com/\x7Fx\"", none},
        // Invisible or reordering characters, one of each kind.
        LinkCase{"\"https://example.com/\xC2\x85x\"", none},     // C1 control
        LinkCase{"\"https://example.com/\xC2\xA0x\"", none},     // no-break space
        LinkCase{"\"https://example.com/\xC2\xADx\"", none},     // soft hyphen
        LinkCase{"\"https://example.com/\xE1\x9A\x80x\"", none}, // ogham space
        LinkCase{"\"https://example.com/\xE2\x80\x8Bx\"", none}, // zero-width space
        LinkCase{"\"https://example.com/\xE2\x80\xA8x\"", none}, // line separator
        // NOLINTNEXTLINE(misc-misleading-bidirectional): the isolate is what is tested
        LinkCase{"\"https://example.com/\xE2\x81\xA6x\"", none}, // isolate
        LinkCase{"\"https://example.com/\xE3\x80\x80x\"", none}, // ideographic space
        LinkCase{"\"https://example.com/\xEF\xBB\xBFx\"", none}, // byte-order mark
        LinkCase{"\"https://example.com/\xEF\xBF\xB9x\"", none}, // interlinear annotation
        // NOLINTNEXTLINE(misc-misleading-bidirectional): the override is what is tested
        LinkCase{"\"https://example.com/\xE2\x80\xAEx\"", none}, // right-to-left override
        // Not UTF-8.
        LinkCase{"\"https://example.com/\xFF\"", none}, LinkCase{"\"https://example.com/\xC4\"", none},
        LinkCase{"\"https://example.com/\xED\xA0\x80\"", none}, LinkCase{"\"https://example.com/\xC0\xAF\"", none}));

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
    EXPECT_EQ(trelvik::acceptLink(czech + "a"), none);
    // The limit holds for what is opened: an encoded character counts as its three.
    const std::string encodable = prefix + std::string(2048 - prefix.size() - 3, 'a') + "|";
    EXPECT_EQ(trelvik::acceptLink(encodable), encodable.substr(0, encodable.size() - 1) + "%7C");
    EXPECT_EQ(trelvik::acceptLink(encodable + "|"), none);
}

} // namespace
