#include <hostbridge/HostText.h>

#include <gtest/gtest.h>

namespace {

struct HostTextCase {
    std::u16string input;
    std::string utf8;
};

void PrintTo(const HostTextCase& value, std::ostream* out) { *out << ::testing::PrintToString(value.utf8); }

class HostText : public ::testing::TestWithParam<HostTextCase> {};

TEST_P(HostText, EncodesEachUnitOnItsOwn) { EXPECT_EQ(trelvik::toHostText(GetParam().input), GetParam().utf8); }

INSTANTIATE_TEST_SUITE_P(Table, HostText,
                         ::testing::Values(HostTextCase{u"", ""}, HostTextCase{u"A", "A"},
                                           HostTextCase{u"\u0159", "\xC5\x99"}, HostTextCase{u"\u20AC", "\xE2\x82\xAC"},
                                           HostTextCase{u"\u007F\u0080", "\x7F\xC2\x80"},
                                           HostTextCase{u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
                                           HostTextCase{u"\uFFFF", "\xEF\xBF\xBF"},
                                           // A surrogate pair is not joined: two three-byte sequences.
                                           HostTextCase{u"\xD83D\xDE00", "\xED\xA0\xBD\xED\xB8\x80"},
                                           HostTextCase{std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
                                           HostTextCase{u"Zobrazit Trelvik", "Zobrazit Trelvik"}));

TEST(HostTextCzech, EveryCzechLetterBecomesItsTwoByteSequence)
{
    EXPECT_EQ(trelvik::toHostText(u"pomocník pro začátečníky"),
              "pomocn\xC3\xADk pro za\xC4\x8D\xC3\xA1te\xC4\x8Dn\xC3\xADky");
}

} // namespace
