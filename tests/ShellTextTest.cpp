#include <hostbridge/ShellText.h>

#include <gtest/gtest.h>

#include <string>

using trelvik::ShellText;

namespace {

std::u16string result(const ShellText& text) { return text.get() == nullptr ? u"<null>" : std::u16string(text.get()); }

TEST(ShellText, NullGivesNullAndRaisesNothing)
{
    ShellText text;
    text.convert(nullptr, trelvik::CP_UTF8_PAGE);
    EXPECT_EQ(text.get(), nullptr);
}

TEST(ShellText, EmptyTextGivesTheTerminatorInline)
{
    ShellText text;
    text.convert("", trelvik::CP_UTF8_PAGE);
    ASSERT_NE(text.get(), nullptr);
    EXPECT_EQ(text.get()[0], u'\0');
    EXPECT_FALSE(text.onHeap());
}

TEST(ShellText, InlineUpTo127BytesHeapFrom128)
{
    const std::string fits(127, 'x');
    const std::string spills(128, 'y');
    ShellText text;
    text.convert(fits.c_str(), trelvik::CP_UTF8_PAGE);
    EXPECT_FALSE(text.onHeap());
    EXPECT_EQ(result(text), std::u16string(127, u'x'));

    text.convert(spills.c_str(), trelvik::CP_UTF8_PAGE);
    EXPECT_TRUE(text.onHeap());
    EXPECT_EQ(result(text), std::u16string(128, u'y'));

    // Back to a short text: the block is freed and the inline buffer used again.
    text.convert("ok", trelvik::CP_UTF8_PAGE);
    EXPECT_FALSE(text.onHeap());
    EXPECT_EQ(result(text), u"ok");
}

TEST(ShellText, DecodesUtf8AndReplacesUndefinedBytes)
{
    ShellText text;
    text.convert("https://example.cz/u\xC4\x8Dit/\xC5\x99", trelvik::CP_UTF8_PAGE);
    EXPECT_EQ(result(text), u"https://example.cz/učit/ř");
    text.convert("a\xFF"
                 "b",
                 trelvik::CP_UTF8_PAGE);
    EXPECT_EQ(result(text), u"a\uFFFDb");
    text.convert("\xF0\x9F\x98\x80", trelvik::CP_UTF8_PAGE);
    EXPECT_EQ(result(text), u"\U0001F600");
}

TEST(ShellText, ConversionFailureRaisesTheMappedHresult)
{
    ShellText text;
    constexpr unsigned noSuchCodePage = 12345;
    try {
        text.convert("abc", noSuchCodePage);
        FAIL() << "no exception";
    } catch (const trelvik::CAtlException& error) {
        EXPECT_EQ(static_cast<std::uint32_t>(error.code()), 0x80070057U); // ERROR_INVALID_PARAMETER
    }
    EXPECT_EQ(text.get(), nullptr);
}

TEST(ShellText, HresultFromWin32)
{
    EXPECT_EQ(trelvik::hresultFromWin32(0), 0);
    EXPECT_EQ(static_cast<std::uint32_t>(trelvik::hresultFromWin32(122)), 0x8007007AU);
    EXPECT_EQ(static_cast<std::uint32_t>(trelvik::hresultFromWin32(0x80004005U)), 0x80004005U);
}

} // namespace
