// run, stop and unload of the add-in in the simulated host.
#include "support/AddinSession.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::AddinSession;
using testing_support::opNames;
using testing_support::withFaults;

namespace {

bool hasException(const AddinSession& addin) { return !addin.ops("exception").empty(); }

} // namespace

TEST(Lifecycle, RunPlacesEverythingAndStopRemovesItWithReferencesBalanced)
{
    AddinSession addin;
    EXPECT_TRUE(addin.host().run());
    EXPECT_TRUE(addin.host().definitionExists("runTeachPalette"));
    EXPECT_TRUE(addin.host().definitionExists("openEshop"));
    EXPECT_EQ(addin.host().toolbarControlIds(),
              (std::vector<std::string>{"openEshop", "UserDisplayNameCommand", "HelpGroupCommand", "runTeachPalette"}));
    // Held between calls: application, user interface, palette (opened at the first start).
    EXPECT_EQ(addin.host().outstandingReferences(), 3);

    EXPECT_TRUE(addin.host().stop());
    EXPECT_FALSE(addin.host().definitionExists("runTeachPalette"));
    EXPECT_FALSE(addin.host().definitionExists("openEshop"));
    EXPECT_FALSE(addin.host().paletteExists("teachPalete"));
    EXPECT_EQ(addin.host().toolbarControlIds(),
              (std::vector<std::string>{"UserDisplayNameCommand", "HelpGroupCommand"}));
    // stop keeps the application and palette references and the on-line handler.
    EXPECT_EQ(addin.host().outstandingReferences(), 2);
    EXPECT_EQ(addin.host().view().onlineStatusHandlers, 1);

    addin.host().unload();
    EXPECT_EQ(addin.host().outstandingReferences(), 0);
    EXPECT_EQ(addin.host().view().onlineStatusHandlers, 0);
    EXPECT_TRUE(addin.host().violations().empty());
    EXPECT_FALSE(hasException(addin));
}

TEST(Lifecycle, StopBeforeRunAndSecondStopMakeNoHostCall)
{
    AddinSession addin;
    const auto before = addin.mark();
    EXPECT_TRUE(addin.host().stop());
    EXPECT_TRUE(addin.opsSince(before).empty());

    ASSERT_TRUE(addin.host().run());
    ASSERT_TRUE(addin.host().stop());
    const auto afterFirstStop = addin.mark();
    EXPECT_TRUE(addin.host().stop());
    EXPECT_TRUE(addin.opsSince(afterFirstStop).empty());
}

TEST(Lifecycle, RoundTripsRepeatEveryStep)
{
    AddinSession addin;
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(addin.host().run()) << round;
        ASSERT_TRUE(addin.host().stop()) << round;
    }
    // The on-line handler is added on every run (the host keeps it once).
    EXPECT_EQ(addin.ops("addButtonDefinition").size(), 6U);
    std::vector<std::string> onlineAdds;
    for (const auto& entry : addin.ops("addHandler")) {
        if (entry.text("event") == "onlineStatusChanged") {
            onlineAdds.push_back(entry.text("handler"));
        }
    }
    EXPECT_EQ(onlineAdds, std::vector<std::string>(3, "OnlineStatusChangedHandler"));
    EXPECT_EQ(addin.host().view().onlineStatusHandlers, 1);
    addin.host().unload();
    EXPECT_EQ(addin.host().outstandingReferences(), 0);
    EXPECT_FALSE(hasException(addin));
}

TEST(Lifecycle, UnloadDestroysHandlersBeforeReleasingReferences)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    addin.host().unload();
    const auto& journal = addin.host().journal();
    const auto firstRelease = std::find_if(journal.begin(), journal.end(),
                                           [](const std::string& line) { return line.rfind("release ", 0) == 0; });
    const auto lastDestroyed = std::find(journal.rbegin(), journal.rend(), "handler destroyed");
    ASSERT_NE(firstRelease, journal.end());
    ASSERT_NE(lastDestroyed, journal.rend());
    EXPECT_LT(std::distance(journal.begin(), lastDestroyed.base() - 1), std::distance(journal.begin(), firstRelease));
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "handler destroyed"), 7);
    std::vector<std::string> releases;
    std::copy_if(journal.begin(), journal.end(), std::back_inserter(releases),
                 [](const std::string& line) { return line.rfind("release ", 0) == 0; });
    // Released last to first: palette, application (stop, which the host calls first, has let
    // the user interface go).
    EXPECT_EQ(releases, (std::vector<std::string>{"release Palette teachPalete", "release Application"}));
}

// Each tested place of run: the result, and what must or must not have happened.
struct RunFault {
    const char* fault;
    bool recordTouched;
    bool definitionsCreated;
    bool leavesADefinition = false; // the host's end cannot remove it either: recorded when it unloads
};

void PrintTo(const RunFault& value, std::ostream* out) { *out << value.fault; }

class RunFaults : public ::testing::TestWithParam<RunFault> {};

TEST_P(RunFaults, EndRunWithFalseKeepingWhatWasDone)
{
    const RunFault& param = GetParam();
    AddinSession addin(withFaults({param.fault}));
    EXPECT_FALSE(addin.host().run());
    EXPECT_EQ(std::filesystem::exists(addin.record()), param.recordTouched);
    EXPECT_EQ(addin.host().definitionExists("runTeachPalette"), param.definitionsCreated);
    EXPECT_FALSE(hasException(addin));
    addin.host().unload();
    EXPECT_EQ(addin.host().outstandingReferences(), 0);
    EXPECT_EQ(addin.host().violations(), param.leavesADefinition
                                             ? std::vector<std::string>{"leftInHost: CommandDefinition runTeachPalette"}
                                             : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Lifecycle, RunFaults,
    ::testing::Values(RunFault{"Application.get", false, false}, RunFault{"Application.userInterface", false, false},
                      RunFault{"Application.onlineStatusChanged", true, false},
                      RunFault{"Toolbars.itemById", true, false}, RunFault{"UserInterface.toolbars", true, false},
                      RunFault{"UserInterface.commandDefinitions", true, false},
                      RunFault{"CommandDefinitions.addButtonDefinition:runTeachPalette", true, false},
                      RunFault{"CommandDefinitions.addButtonDefinition:openEshop", true, true},
                      RunFault{"Toolbar.controls", true, true, true},
                      RunFault{"ToolbarControls.addCommand:openEshop", true, true},
                      RunFault{"ToolbarControls.addCommand:runTeachPalette", true, true},
                      RunFault{"CommandDefinition.commandCreated:runTeachPalette", true, true},
                      RunFault{"CommandCreatedEvent.add:openEshop", true, true}));

TEST(Lifecycle, MissingApplicationEmptiesTheHeldReferenceAndLeavesTheRecord)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    const int held = addin.host().outstandingReferences();
    const std::string record = testing_support::readBytes(addin.record());

    // A second run within the same load (the host reloads after a stop), so the add-in's state
    // is the one the first run left.
    addin.host().setFaults({"Application.get"});
    EXPECT_FALSE(addin.host().run());
    EXPECT_EQ(addin.host().outstandingReferences(), held - 1); // the application was released
    EXPECT_EQ(testing_support::readBytes(addin.record()), record);
}

// Every event gets the handler of its own class.
TEST(Lifecycle, EachEventGetsItsHandlerClass)
{
    AddinSession addin(withFaults({}, true));
    addin.setLaunchCount(2);
    ASSERT_TRUE(addin.host().run());
    addin.host().click("runTeachPalette");
    addin.host().click("openEshop");
    addin.host().stop();
    ASSERT_TRUE(addin.host().run());
    addin.host().setOnline(true);
    std::vector<std::string> registered;
    for (const auto& entry : addin.ops("addHandler")) {
        registered.push_back(entry.text("event") + " " + entry.text("handler"));
    }
    EXPECT_EQ(
        registered,
        (std::vector<std::string>{
            "onlineStatusChanged OnlineStatusChangedHandler", "commandCreated:runTeachPalette CmdCreatedEventHandler",
            "commandCreated:openEshop CmdEshopCreatedEventHandler", "execute:runTeachPalette CmdExecuteEventHandler",
            "incomingFromHTML:teachPalete QuelsHTMLEventHandler", // the guide button
            "execute:openEshop CmdEshopExecuteEventHandler", "onlineStatusChanged OnlineStatusChangedHandler",
            "commandCreated:runTeachPalette CmdCreatedEventHandler",
            "commandCreated:openEshop CmdEshopCreatedEventHandler",
            "incomingFromHTML:teachPalete QuelFirst3sHTMLEventHandler", // the on-line path
        }));
}

// A run that ends at its first two steps does not read the record: the count of the last start
// stays, and the on-line handler (still registered) goes by it.
TEST(Lifecycle, RunEndingBeforeTheRecordKeepsTheCountTheOnlineHandlerUses)
{
    for (const int count : {2, 5}) {
        for (const char* fault : {"Application.get", "Application.userInterface"}) {
            AddinSession addin(withFaults({}, true));
            addin.setLaunchCount(count);
            ASSERT_TRUE(addin.host().run());
            const std::string record = testing_support::readBytes(addin.record());
            addin.host().setFaults({fault});
            EXPECT_FALSE(addin.host().run()) << fault;
            EXPECT_EQ(testing_support::readBytes(addin.record()), record) << fault;
            // The preferences are asked for only past the count test; the fault shows it.
            addin.host().setFaults({"Application.preferences"});
            const auto before = addin.mark();
            addin.host().setOnline(true);
            bool askedForPreferences = false;
            for (const auto& entry : addin.opsSince(before)) {
                askedForPreferences = askedForPreferences || entry.is("what", "Application.preferences");
            }
            EXPECT_EQ(askedForPreferences, count <= 3 && std::string(fault) != "Application.get") << fault << count;
            EXPECT_FALSE(hasException(addin)) << fault;
        }
    }
}

TEST(Lifecycle, StopAfterARunThatLostItsApplicationDeletesThePaletteAndReturnsFalse)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    addin.host().setFaults({"Application.get"});
    ASSERT_FALSE(addin.host().run());
    addin.host().setFaults({});
    EXPECT_FALSE(addin.host().stop());
    EXPECT_FALSE(addin.host().paletteExists("teachPalete"));
    EXPECT_TRUE(addin.host().definitionExists("runTeachPalette"));
    EXPECT_FALSE(hasException(addin));
}

// Faults switched on after run reach the notifications of buttons and palettes that exist: each
// notification must contain what the missing object raises.
struct LateFault {
    const char* notification;
    const char* fault;
    bool paletteByOnlineReport; // the palette (and its handler) comes from the on-line path
    void (*act)(simhost::Session&);
};

void PrintTo(const LateFault& value, std::ostream* out) { *out << value.notification; }

class LateFaults : public ::testing::TestWithParam<LateFault> {};

TEST_P(LateFaults, NeverEscapeTheNotificationThatMeetsThem)
{
    const LateFault& param = GetParam();
    AddinSession addin(withFaults({}, param.paletteByOnlineReport));
    addin.setLaunchCount(2);
    ASSERT_TRUE(addin.host().run());
    if (param.paletteByOnlineReport) {
        addin.host().setOnline(true);
    }
    ASSERT_TRUE(addin.host().paletteExists("teachPalete"));
    addin.host().setFaults({param.fault});
    const auto before = addin.mark();
    param.act(addin.host());
    std::vector<std::string> seen;
    for (const auto& entry : addin.opsSince(before)) {
        seen.push_back(entry.text("op") + ":" + entry.text("what") + entry.text("where"));
    }
    EXPECT_NE(std::find(seen.begin(), seen.end(), std::string("fault:") + param.fault), seen.end())
        << "the fault never fired, so the notification was not reached";
    EXPECT_FALSE(hasException(addin)) << testing::PrintToString(seen);
}

INSTANTIATE_TEST_SUITE_P(
    Lifecycle, LateFaults,
    ::testing::Values(LateFault{"guideExecute", "Application.preferences", false,
                                [](simhost::Session& host) { host.click("runTeachPalette"); }},
                      LateFault{"guideCreated", "CommandCreatedEventArgs.command:runTeachPalette", false,
                                [](simhost::Session& host) { host.click("runTeachPalette"); }},
                      LateFault{"eshopCreated", "CommandCreatedEventArgs.command:openEshop", false,
                                [](simhost::Session& host) { host.click("openEshop"); }},
                      LateFault{"pageMessageOfTheStartupPalette", "HTMLEvent.args", false,
                                [](simhost::Session& host) { host.message("\"https://example.com/\""); }},
                      LateFault{"pageMessageOfTheOnlinePalette", "HTMLEvent.args", true,
                                [](simhost::Session& host) { host.message("\"https://example.com/\""); }},
                      LateFault{"onlineReport", "Application.preferences", false, &testing_support::reportOnline},
                      LateFault{"onlineReportWithoutGeneralPreferences", "Preferences.generalPreferences", true,
                                &testing_support::reportOnline}),
    [](const auto& testInfo) { return testInfo.param.notification; });

TEST(Lifecycle, MissingOnlineEventLeavesRecordAdvancedButNoPaletteOrCommands)
{
    AddinSession addin(withFaults({"Application.onlineStatusChanged"}));
    EXPECT_FALSE(addin.host().run());
    EXPECT_EQ(testing_support::readBytes(addin.record()).size(), 13U);
    EXPECT_TRUE(addin.ops("addPalette").empty());
    EXPECT_TRUE(addin.ops("addButtonDefinition").empty());
}

TEST(Lifecycle, MissingToolbarStillOpensThePaletteAtFirstStart)
{
    AddinSession addin(withFaults({"Toolbars.itemById"}));
    EXPECT_FALSE(addin.host().run());
    EXPECT_TRUE(addin.host().paletteVisible("teachPalete"));
    EXPECT_TRUE(addin.ops("addButtonDefinition").empty());
}

TEST(Lifecycle, RefusedGuideCreatedHandlerSkipsTheEshopOneAndKeepsBothButtons)
{
    AddinSession addin(withFaults({"CommandCreatedEvent.add:runTeachPalette"}));
    EXPECT_FALSE(addin.host().run());
    EXPECT_EQ(opNames(addin.ops("addHandler")).back(), "addHandler:commandCreated:runTeachPalette");
    EXPECT_EQ(addin.host().view().definition("openEshop")->createdHandlers, 0);
    EXPECT_EQ(addin.host().toolbarControlIds().size(), 4U);
}

TEST(Lifecycle, StopWithoutPalettesCollectionDeletesNothingAndTriesAgainLater)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    addin.host().setFaults({"UserInterface.palettes"});
    const auto before = addin.mark();
    EXPECT_FALSE(addin.host().stop());
    EXPECT_EQ(opNames(addin.opsSince(before)), std::vector<std::string>{"fault"}); // only the fault itself
    EXPECT_TRUE(addin.host().paletteExists("teachPalete"));

    addin.host().setFaults({});
    EXPECT_TRUE(addin.host().stop());
    EXPECT_FALSE(addin.host().paletteExists("teachPalete"));
    EXPECT_FALSE(addin.host().definitionExists("openEshop"));
}

TEST(Lifecycle, StopWithoutToolbarDeletesOnlyThePalette)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    addin.host().setFaults({"Toolbars.itemById"});
    EXPECT_FALSE(addin.host().stop());
    EXPECT_FALSE(addin.host().paletteExists("teachPalete"));
    EXPECT_TRUE(addin.host().definitionExists("openEshop"));
    EXPECT_EQ(addin.host().toolbarControlIds().size(), 4U);
    // Application, palette and the user interface, kept so that a later stop tries again.
    EXPECT_EQ(addin.host().outstandingReferences(), 3);
}

// Untested places of stop: the host API throws, the add-in contains it and returns false.
TEST(Lifecycle, UntestedPlacesOfStopReturnFalseWithoutEscaping)
{
    for (const char* fault : {"Application.userInterface", "UserInterface.toolbars", "UserInterface.commandDefinitions",
                              "Toolbar.controls"}) {
        AddinSession addin;
        ASSERT_TRUE(addin.host().run());
        addin.host().setFaults({fault});
        EXPECT_FALSE(addin.host().stop()) << fault;
        EXPECT_FALSE(hasException(addin)) << fault;
        addin.host().setFaults({});
        EXPECT_TRUE(addin.host().stop()) << fault;
        addin.host().unload();
        EXPECT_EQ(addin.host().outstandingReferences(), 0) << fault;
    }
}

TEST(Lifecycle, StopRemovesWhatIsPresentAndSkipsTheRest)
{
    for (const char* fault : {"CommandDefinitions.itemById:openEshop", "ToolbarControls.itemById:runTeachPalette",
                              "ToolbarControl.cast:openEshop"}) {
        AddinSession addin;
        ASSERT_TRUE(addin.host().run());
        addin.host().setFaults({fault});
        EXPECT_TRUE(addin.host().stop()) << fault;
        EXPECT_EQ(addin.ops("deleteMe").size(), 4U) << fault; // palette and three of the four
    }
}
