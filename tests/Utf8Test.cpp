// The strict UTF-8 decoder behind the link check and the Linux MultiByteToWideChar stand-in.
#include <Utf8.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::optional<char32_t> decoded; // none: refused, position unchanged
};

void PrintTo(const DecodeCase& value, std::ostream* out) { *out << value.name; }

class Utf8Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8Decode, DecodesOneSequenceOrNothing)
{
    const DecodeCase& param = GetParam();
    std::size_t at = 0;
    EXPECT_EQ(plumbing::decodeUtf8(param.bytes, at), param.decoded);
    EXPECT_EQ(at, param.decoded ? param.bytes.size() : 0U);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8Decode,
    ::testing::Values(
        DecodeCase{"ascii", "A", U'A'}, DecodeCase{"nul", std::string(1, '\0'), U'\0'},
        DecodeCase{"twoBytes", "\xC5\x99", U'\u0159'}, DecodeCase{"threeBytes", "\xE2\x82\xAC", U'\u20AC'},
        DecodeCase{"fourBytes", "\xF0\x9F\x98\x80", U'\U0001F600'}, DecodeCase{"smallestTwo", "\xC2\x80", U'\u0080'},
        DecodeCase{"smallestThree", "\xE0\xA0\x80", U'\u0800'},
        DecodeCase{"smallestFour", "\xF0\x90\x80\x80", U'\U00010000'},
        DecodeCase{"largest", "\xF4\x8F\xBF\xBF", U'\U0010FFFF'},
        DecodeCase{"beforeSurrogates", "\xED\x9F\xBF", U'\uD7FF'},
        DecodeCase{"afterSurrogates", "\xEE\x80\x80", U'\uE000'},
        // Overlong forms: the same code point in more bytes than it needs.
        DecodeCase{"overlongTwo", "\xC0\xAF", std::nullopt}, DecodeCase{"overlongTwoC1", "\xC1\xBF", std::nullopt},
        DecodeCase{"overlongThree", "\xE0\x85\x99", std::nullopt}, // a disguised U+0159
        DecodeCase{"overlongThreeSlash", "\xE0\x80\xAF", std::nullopt},
        DecodeCase{"overlongFour", "\xF0\x8F\xBF\xBF", std::nullopt},
        // Surrogates and values beyond U+10FFFF.
        DecodeCase{"highSurrogate", "\xED\xA0\x80", std::nullopt},
        DecodeCase{"lowSurrogate", "\xED\xBF\xBF", std::nullopt},
        DecodeCase{"aboveMaximum", "\xF4\x90\x80\x80", std::nullopt},
        DecodeCase{"leadF5", "\xF5\x80\x80\x80", std::nullopt}, DecodeCase{"leadFF", "\xFF", std::nullopt},
        // Continuation bytes where a lead byte belongs, and leads without their continuations.
        DecodeCase{"strayContinuation", "\x80", std::nullopt},
        DecodeCase{"asciiInsteadOfContinuation", "\xC5\x41", std::nullopt},
        DecodeCase{"leadInsteadOfContinuation", "\xE2\xC5\x99", std::nullopt}),
    [](const auto& testInfo) { return testInfo.param.name; });

// Every proper prefix of a valid sequence is refused, also where the buffer goes on: only the
// view counts, nothing past its end is read.
TEST(Utf8Decode, EveryTruncationIsRefusedWithoutReadingPastTheView)
{
    for (const std::string sequence : {"\xC5\x99", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"}) {
        for (std::size_t length = 1; length < sequence.size(); ++length) {
            const std::string_view view(sequence.data(), length);
            std::size_t at = 0;
            EXPECT_EQ(plumbing::decodeUtf8(view, at), std::nullopt) << sequence.size() << " cut to " << length;
            EXPECT_EQ(at, 0U);
        }
    }
}

TEST(Utf8Decode, DecodesFromThePositionGivenAndMovesPastTheSequence)
{
    const std::string text = "a\xC5\x99\xE2\x82\xAC";
    std::size_t at = 1;
    EXPECT_EQ(plumbing::decodeUtf8(text, at), U'\u0159');
    EXPECT_EQ(at, 3U);
    EXPECT_EQ(plumbing::decodeUtf8(text, at), U'\u20AC');
    EXPECT_EQ(at, 6U);
}

// The two whole-text conversions are each other's inverse over every code point, and replace what
// has no code point (an unpaired surrogate, a byte that starts no sequence) by U+FFFD, one each.
TEST(Utf8Convert, UtfSixteenAndEightRoundTripAndReplaceWhatIsNoCodePoint)
{
    std::u16string every;
    for (char32_t cp = 1; cp <= 0x10FFFF; cp += cp < 0x800 ? 1 : 97) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        if (cp >= 0x10000) {
            every += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10U));
            every += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FFU));
        } else {
            every += static_cast<char16_t>(cp);
        }
    }
    EXPECT_EQ(plumbing::utf8ToUtf16(plumbing::utf16ToUtf8(every)), every);
    EXPECT_EQ(plumbing::utf16ToUtf8(u"a\xD800"
                                    u"b\xDC00"),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(plumbing::utf16ToUtf8(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(plumbing::utf8ToUtf16("a\x80\xC5z"), u"a\xFFFD\xFFFDz");
}

} // namespace
