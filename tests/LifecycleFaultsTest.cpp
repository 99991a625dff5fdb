// What run, stop and the notifications do when the host refuses them something: each place of the
// add-in where the host can answer none, and what must and must not have happened there.
#include "support/AddinSession.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::AddinSession;
using testing_support::opNames;
using testing_support::withFaults;

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
    EXPECT_FALSE(addin.exceptionReachedTheHost());
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
    EXPECT_FALSE(addin.exceptionReachedTheHost());
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
    EXPECT_FALSE(addin.exceptionReachedTheHost()) << testing::PrintToString(seen);
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
        EXPECT_FALSE(addin.exceptionReachedTheHost()) << fault;
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
