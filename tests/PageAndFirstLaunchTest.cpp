// Page messages from the learning palette, and the palette opening by itself during the first starts.
#include "support/AddinSession.h"

#include <BuildConfig.h>
#include <hostbridge/HostText.h>

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::AddinSession;
using testing_support::messageHandlers;
using testing_support::opNames;
using testing_support::paletteOps;
using testing_support::withFaults;

namespace {

std::string eshopLink() { return trelvik::toHostText(trelvik::config::eshopAddress); }

// --- page messages -----------------------------------------------------------------------

struct MessageCase {
    std::string text;
    const char* opened; // null: nothing opens
};

void PrintTo(const MessageCase& value, std::ostream* out) { *out << ::testing::PrintToString(value.text); }

class PageMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(PageMessage, OpensOnlyAcceptedLinksAndNeverRaises)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    addin.host().message(GetParam().text);
    // The e-shop button opens a known link after the message: once it is seen, whatever the
    // message opened has been seen too.
    addin.host().click("openEshop");
    const std::size_t expected = GetParam().opened == nullptr ? 1 : 2;
    auto opened = addin.shellOpens(expected);
    ASSERT_EQ(opened.size(), expected);
    EXPECT_NE(std::find(opened.begin(), opened.end(), eshopLink()), opened.end());
    if (GetParam().opened != nullptr) {
        EXPECT_NE(std::find(opened.begin(), opened.end(), GetParam().opened), opened.end());
    }
#if !defined(_WIN32)
    const auto calls = addin.ops("shellOpen");
    const auto& call = calls.front();
    EXPECT_EQ(call.text("verb"), "open");
    EXPECT_EQ(std::get<std::int64_t>(*call.find("show")), 1);
    EXPECT_EQ(call.find("parameters"), nullptr);
    EXPECT_EQ(call.find("directory"), nullptr);
#endif
    EXPECT_TRUE(addin.ops("exception").empty());
}

INSTANTIATE_TEST_SUITE_P(Palette, PageMessage,
                         ::testing::Values(MessageCase{"\"https://example.com/x\"", "https://example.com/x"},
                                           MessageCase{"\"https://example.cz/kurz-\xC5\x99\"",
                                                       "https://example.cz/kurz-\xC5\x99"},
                                           MessageCase{"https://example.com/y", "https://example.com/y"},
                                           MessageCase{"\"file:///C:/Windows/System32/calc.exe\"", nullptr},
                                           MessageCase{"\"\\\\\\\\host\\\\share\"", nullptr},
                                           MessageCase{"\"javascript:alert(1)\"", nullptr},
                                           MessageCase{"\"https://a.com/\" & calc", nullptr}, MessageCase{"a", nullptr},
                                           MessageCase{"ab", nullptr}, MessageCase{"", nullptr}));

TEST(PageMessage, EmptyArgumentsOrNoTextOpenNothingAndRaiseNothing)
{
    for (const char* fault : {"HTMLEvent.args", "HTMLEventArgs.data"}) {
        AddinSession addin(withFaults({fault}));
        ASSERT_TRUE(addin.host().run());
        addin.host().message("\"https://example.com/\"");
        addin.host().click("openEshop");
        EXPECT_EQ(addin.shellOpens(1), std::vector<std::string>{eshopLink()}) << fault;
        EXPECT_TRUE(addin.ops("exception").empty()) << fault;
    }
}

// --- first-launch display ----------------------------------------------------------------

struct FirstLaunchCase {
    int launchCount; // what the record yields at this start
    bool opens;
};

void PrintTo(const FirstLaunchCase& value, std::ostream* out) { *out << "count " << value.launchCount; }

class FirstLaunch : public ::testing::TestWithParam<FirstLaunchCase> {};

TEST_P(FirstLaunch, OpensByItselfOnlyDuringTheFirstStarts)
{
    {
        AddinSession addin;
        addin.setLaunchCount(GetParam().launchCount);
        ASSERT_TRUE(addin.host().run());
        EXPECT_EQ(addin.host().paletteExists("teachPalete"), GetParam().opens);
        addin.host().setOnline(true);
        EXPECT_EQ(addin.host().paletteExists("teachPalete"), GetParam().opens);
    }
    {
        AddinSession offline(withFaults({}, true));
        offline.setLaunchCount(GetParam().launchCount);
        ASSERT_TRUE(offline.host().run());
        EXPECT_FALSE(offline.host().paletteExists("teachPalete"));
        offline.host().setOnline(true);
        EXPECT_EQ(offline.host().paletteExists("teachPalete"), GetParam().opens);
    }
}

INSTANTIATE_TEST_SUITE_P(Palette, FirstLaunch,
                         ::testing::Values(FirstLaunchCase{0, true}, FirstLaunchCase{1, true}, FirstLaunchCase{2, true},
                                           FirstLaunchCase{3, true}, FirstLaunchCase{4, false},
                                           FirstLaunchCase{-1, false}, FirstLaunchCase{-5, false},
                                           FirstLaunchCase{1000000, false}));

TEST(FirstLaunch, OnlineReportCreatesThePaletteWithTheOtherHandlerOnce)
{
    AddinSession addin(withFaults({}, true));
    addin.setLaunchCount(2);
    ASSERT_TRUE(addin.host().run());
    const auto before = addin.mark();
    for (int report = 0; report < 3; ++report) {
        testing_support::reportOnline(addin.host());
    }
    EXPECT_EQ(paletteOps(addin, before),
              (std::vector<std::string>{"addPalette:teachPalete", "dockingState:teachPalete",
                                        "addHandler:incomingFromHTML:teachPalete", "setVisible:teachPalete",
                                        "setVisible:teachPalete", "setVisible:teachPalete"}));
    EXPECT_EQ(messageHandlers(addin, true), std::vector<std::string>{"QuelFirst3sHTMLEventHandler"});
    // Links work the same through the handler the on-line path registered.
    addin.host().message("\"https://example.com/first\"");
    EXPECT_EQ(addin.shellOpens(1), std::vector<std::string>{"https://example.com/first"});
}

TEST(FirstLaunch, OfflineReportAndEmptyArgumentsDoNothing)
{
    AddinSession addin;
    addin.setLaunchCount(1);
    ASSERT_TRUE(addin.host().run());
    const auto before = addin.mark();
    addin.host().setOnline(false);
    EXPECT_TRUE(paletteOps(addin, before).empty());
    addin.host().setFaults({"ApplicationEvent.args"});
    addin.host().setOnline(true);
    EXPECT_TRUE(paletteOps(addin, before).empty());
    EXPECT_TRUE(addin.ops("exception").empty());
}

TEST(FirstLaunch, QualifyingReportAfterStopShowsNothingAndRaisesNothing)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    ASSERT_TRUE(addin.host().stop());
    const auto before = addin.mark();
    testing_support::reportOnline(addin.host());
    EXPECT_TRUE(paletteOps(addin, before).empty());
    EXPECT_TRUE(addin.ops("exception").empty());
    EXPECT_FALSE(addin.host().paletteExists("teachPalete"));
}

TEST(FirstLaunch, StartupDisplayComesBeforeTheButtons)
{
    AddinSession addin;
    addin.setLaunchCount(3);
    ASSERT_TRUE(addin.host().run());
    const auto names = opNames(addin.opsSince(0));
    const auto palette = std::find(names.begin(), names.end(), "addPalette:teachPalete");
    const auto button = std::find(names.begin(), names.end(), "addButtonDefinition:runTeachPalette");
    ASSERT_NE(palette, names.end());
    ASSERT_NE(button, names.end());
    EXPECT_LT(palette, button);
}

} // namespace
