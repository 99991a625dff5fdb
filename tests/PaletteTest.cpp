// The learning palette, its page messages and the first-launch display.
#include "support/AddinSession.h"

#include <BuildConfig.h>
#include <HostText.h>

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::AddinSession;
using testing_support::opNames;
using testing_support::withFaults;

namespace {

std::string eshopLink() { return trelvik::toHostText(trelvik::config::eshopAddress); }

std::vector<std::string> paletteOps(const AddinSession& addin, std::size_t since)
{
    std::vector<std::string> names;
    for (const auto& name : opNames(addin.opsSince(since))) {
        if (name.find("teachPalete") != std::string::npos) {
            names.push_back(name);
        }
    }
    return names;
}

TEST(Palette, CreatedWithTheNineValuesThenDockedHandledAndShown)
{
    simhost::Options options;
    options.language = 2;
    options.entitlement = "a&b";
    AddinSession addin(options);
    ASSERT_TRUE(addin.host().run());
    const auto added = addin.ops("addPalette");
    ASSERT_EQ(added.size(), 1U);
    const auto& palette = added.front();
    EXPECT_EQ(palette.text("id"), "teachPalete");
    EXPECT_EQ(palette.text("name"), "Trelvik Reziravo 360");
    EXPECT_NE(palette.text("url").find("/fusion360/learning.asp?lang=CSY&lic=a%26b"), std::string::npos);
    EXPECT_EQ(palette.text("url").rfind("https://", 0), 0U);
    std::vector<std::string> values;
    for (const auto& [name, value] : palette.fields) {
        if (const auto* flag = std::get_if<bool>(&value)) {
            values.push_back(name + "=" + (*flag ? "true" : "false"));
        } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
            values.push_back(name + "=" + std::to_string(*number));
        }
    }
    EXPECT_EQ(values, (std::vector<std::string>{"isVisible=true", "showCloseButton=true", "isResizable=true",
                                                "width=300", "height=400", "useNewWebBrowser=true"}));
    EXPECT_EQ(paletteOps(addin, 0),
              (std::vector<std::string>{"addPalette:teachPalete", "dockingState:teachPalete",
                                        "addHandler:incomingFromHTML:teachPalete", "setVisible:teachPalete"}));
    EXPECT_EQ(std::get<std::int64_t>(*addin.ops("dockingState").front().find("value")), 3);
}

TEST(Palette, AnExistingPaletteIsOnlyShownAgain)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    for (int click = 0; click < 2; ++click) {
        const auto before = addin.mark();
        addin.host().click("runTeachPalette");
        EXPECT_EQ(paletteOps(addin, before), (std::vector<std::string>{"setVisible:teachPalete"}));
    }
    EXPECT_EQ(addin.host().view().palette("teachPalete")->messageHandlers, 1);
}

// The handler names of the addHandler entries on the palette's page-message event.
std::vector<std::string> messageHandlers(const AddinSession& addin, bool added)
{
    std::vector<std::string> names;
    for (const auto& entry : addin.ops("addHandler")) {
        const auto* value = entry.find("added");
        if (entry.text("event") == "incomingFromHTML:teachPalete" && value != nullptr &&
            std::get<bool>(*value) == added) {
            names.push_back(entry.text("handler"));
        }
    }
    return names;
}

struct RefusalCase {
    const char* fault;
    bool onlinePath; // the palette is made by an on-line report rather than at start-up
    const char* handler;
};

void PrintTo(const RefusalCase& value, std::ostream* out)
{
    *out << value.fault << (value.onlinePath ? " online" : "");
}

class RefusedHandler : public ::testing::TestWithParam<RefusalCase> {};

// A palette whose message handler the host refused is not left with dead links until stop.
TEST_P(RefusedHandler, IsRegisteredAgainAtTheNextShowThenNeverAgain)
{
    const RefusalCase& param = GetParam();
    AddinSession addin(withFaults({std::string(param.fault) + "@1"}, param.onlinePath));
    addin.setLaunchCount(2);
    ASSERT_TRUE(addin.host().run());
    const auto show = [&] {
        param.onlinePath ? testing_support::reportOnline(addin.host()) : addin.host().click("runTeachPalette");
    };
    if (param.onlinePath) {
        show();
    }
    ASSERT_TRUE(addin.host().paletteExists("teachPalete"));
    EXPECT_EQ(addin.ops("dockingState").size(), 1U);
    EXPECT_TRUE(addin.ops("setVisible").empty()) << "not shown explicitly while deaf";
    addin.host().message("\"https://example.com/dead\"");
    EXPECT_TRUE(addin.shellOpens().empty());

    show();
    EXPECT_EQ(messageHandlers(addin, true), std::vector<std::string>{param.handler});
    EXPECT_EQ(addin.ops("setVisible").size(), 1U);
    addin.host().message("\"https://example.com/alive\"");
    EXPECT_EQ(addin.shellOpens(1), std::vector<std::string>{"https://example.com/alive"});

    show();
    EXPECT_EQ(messageHandlers(addin, true).size(), 1U) << "once registered, never added again";
    EXPECT_EQ(addin.ops("addPalette").size(), 1U);
    EXPECT_EQ(addin.ops("dockingState").size(), 1U);
    EXPECT_TRUE(addin.ops("exception").empty());
}

INSTANTIATE_TEST_SUITE_P(Palette, RefusedHandler,
                         ::testing::Values(RefusalCase{"HTMLEvent.add", false, "QuelsHTMLEventHandler"},
                                           RefusalCase{"Palette.incomingFromHTML", false, "QuelsHTMLEventHandler"},
                                           RefusalCase{"HTMLEvent.add", true, "QuelFirst3sHTMLEventHandler"},
                                           RefusalCase{"Palette.incomingFromHTML", true,
                                                       "QuelFirst3sHTMLEventHandler"}));

TEST(Palette, HandlerRefusedEveryTimeIsTriedAtEveryShowAndThePaletteStillShows)
{
    AddinSession addin(withFaults({"HTMLEvent.add"}));
    ASSERT_TRUE(addin.host().run());
    addin.host().click("runTeachPalette");
    addin.host().click("runTeachPalette");
    EXPECT_EQ(messageHandlers(addin, false).size(), 3U);
    EXPECT_EQ(addin.ops("setVisible").size(), 2U);
    EXPECT_EQ(addin.ops("addPalette").size(), 1U);
}

TEST(Palette, ClosedByTheUserItIsShownAgainByTheButtonAndByAnOnlineReport)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    ASSERT_TRUE(addin.host().paletteVisible("teachPalete"));
    addin.host().close("teachPalete");
    EXPECT_TRUE(addin.host().paletteExists("teachPalete"));
    EXPECT_FALSE(addin.host().paletteVisible("teachPalete"));
    addin.host().click("runTeachPalette");
    EXPECT_TRUE(addin.host().paletteVisible("teachPalete"));
    addin.host().close("teachPalete");
    testing_support::reportOnline(addin.host());
    EXPECT_TRUE(addin.host().paletteVisible("teachPalete"));
    EXPECT_EQ(addin.ops("addPalette").size(), 1U);
}

TEST(Palette, QuietEndsOnThePaletteSide)
{
    for (const char* fault : {"Palettes.add", "UserInterface.palettes"}) {
        AddinSession addin(withFaults({fault}));
        EXPECT_TRUE(addin.host().run()) << fault;
        EXPECT_FALSE(addin.host().paletteExists("teachPalete")) << fault;
        EXPECT_TRUE(addin.ops("exception").empty()) << fault;
    }
}

TEST(Palette, MissingPreferencesEndRunWithoutCreatingAnything)
{
    for (const char* fault : {"Application.preferences", "Preferences.generalPreferences"}) {
        AddinSession addin(withFaults({fault}));
        EXPECT_FALSE(addin.host().run()) << fault; // the show-palette routine raised inside run
        EXPECT_TRUE(addin.ops("addPalette").empty()) << fault;
        EXPECT_TRUE(addin.ops("exception").empty()) << fault;
        addin.host().unload();
        EXPECT_EQ(addin.host().outstandingReferences(), 0) << fault;
    }
}

TEST(Palette, NoEntitlementTextEndsTheUrlWithLic)
{
    AddinSession addin(withFaults({"Application.executeTextCommand"}));
    ASSERT_TRUE(addin.host().run());
    const std::string url = addin.ops("addPalette").front().text("url");
    EXPECT_EQ(url.substr(url.size() - 5), "&lic=");
}

TEST(Palette, StopDeletesItAndTheNextRunCreatesANewOne)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    ASSERT_TRUE(addin.host().stop());
    ASSERT_TRUE(addin.host().run()); // second start: count 1, opens again
    EXPECT_EQ(addin.ops("addPalette").size(), 2U);
    EXPECT_EQ(addin.host().view().palette("teachPalete")->messageHandlers, 1);
}

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
