// The learning palette: how it is made, shown again, handled and deleted.
#include "support/AddinSession.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::AddinSession;
using testing_support::messageHandlers;
using testing_support::paletteOps;
using testing_support::withFaults;

namespace {

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

} // namespace
