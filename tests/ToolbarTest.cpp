// The guide and e-shop buttons.
#include "support/AddinSession.h"

#include <BuildConfig.h>
#include <hostbridge/HostText.h>

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::AddinSession;
using testing_support::opNames;
using testing_support::withFaults;

namespace {

struct IconCase {
    int launchCount;
    bool lessTen;
};

void PrintTo(const IconCase& value, std::ostream* out) { *out << "count " << value.launchCount; }

class IconFolders : public ::testing::TestWithParam<IconCase> {};

TEST_P(IconFolders, LessTenRule)
{
    AddinSession addin;
    addin.setLaunchCount(GetParam().launchCount);
    ASSERT_TRUE(addin.host().run());
    const auto definitions = addin.ops("addButtonDefinition");
    ASSERT_EQ(definitions.size(), 2U);
    const std::string suffix = GetParam().lessTen ? "/LessTen" : "";
    EXPECT_EQ(definitions[0].text("resourceFolder"), "resources/Trelvik" + suffix);
    EXPECT_EQ(definitions[1].text("resourceFolder"), "resources/Eshop" + suffix);
}

INSTANTIATE_TEST_SUITE_P(Toolbar, IconFolders,
                         ::testing::Values(IconCase{0, false}, IconCase{1, true}, IconCase{9, true},
                                           IconCase{10, false}, IconCase{-1, true}, IconCase{INT32_MIN, true}));

TEST(Toolbar, DefinitionsCarryTheExactUtf8Texts)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    const auto definitions = addin.ops("addButtonDefinition");
    ASSERT_EQ(definitions.size(), 2U);
    EXPECT_EQ(definitions[0].text("id"), "runTeachPalette");
    EXPECT_EQ(definitions[0].text("name"), "Zobrazit Trelvik");
    // The source is UTF-8, so these literals hold the bytes the host must receive.
    EXPECT_EQ(definitions[0].text("tooltip"), "Trelvik je pomocník pro začátečníky, integrovaný do prostředí programu "
                                              "Fusion 360 a napomáhá s prvními kroky v aplikaci.");
    EXPECT_EQ(definitions[1].text("id"), "openEshop");
    EXPECT_EQ(definitions[1].text("name"), "CAD/CAM eshop");
    EXPECT_EQ(definitions[1].text("tooltip"),
              "Otevře nabídku výukových kurzů, doplňků a rozšíření Fusionu 360 na e-shopu Morvane Sytems.");
}

TEST(Toolbar, EshopIsPlacedFirstThenTheGuideWithTheirAnchors)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    const auto placed = addin.ops("addCommand");
    ASSERT_EQ(placed.size(), 2U);
    EXPECT_EQ(placed[0].text("id"), "openEshop");
    EXPECT_EQ(placed[0].text("positionID"), "UserDisplayNameCommand");
    EXPECT_EQ(std::get<bool>(*placed[0].find("isBefore")), true);
    EXPECT_EQ(placed[1].text("id"), "runTeachPalette");
    EXPECT_EQ(placed[1].text("positionID"), "HelpGroupCommand");
    EXPECT_EQ(std::get<bool>(*placed[1].find("isBefore")), false);
    const auto handlers = opNames(addin.ops("addHandler"));
    EXPECT_EQ(
        std::vector<std::string>(handlers.end() - 2, handlers.end()),
        (std::vector<std::string>{"addHandler:commandCreated:runTeachPalette", "addHandler:commandCreated:openEshop"}));
}

TEST(Toolbar, RefusedEshopPlacementLeavesTheGuideUnplacedAndBothDefinitions)
{
    AddinSession addin(withFaults({"ToolbarControls.addCommand:openEshop"}));
    EXPECT_FALSE(addin.host().run());
    EXPECT_TRUE(addin.ops("addCommand").empty());
    EXPECT_TRUE(addin.host().definitionExists("runTeachPalette"));
    EXPECT_TRUE(addin.host().definitionExists("openEshop"));
}

TEST(Toolbar, DefinitionWithoutCreatedEventEndsRun)
{
    AddinSession addin(withFaults({"CommandDefinition.commandCreated:openEshop"}));
    EXPECT_FALSE(addin.host().run());
    EXPECT_EQ(addin.host().view().definition("runTeachPalette")->createdHandlers, 1);
}

TEST(Toolbar, EshopClickOpensTheShopAndGuideClickShowsThePalette)
{
    AddinSession addin;
    addin.setLaunchCount(50); // no palette at start-up
    ASSERT_TRUE(addin.host().run());
    addin.host().click("openEshop");
    EXPECT_FALSE(addin.host().paletteExists("teachPalete"));
    addin.host().click("runTeachPalette");
    EXPECT_TRUE(addin.host().paletteVisible("teachPalete"));
    EXPECT_EQ(addin.shellOpens(1), std::vector<std::string>{trelvik::toHostText(trelvik::config::eshopAddress)});
}

TEST(Toolbar, EveryCommandGetsTheSameExecuteHandler)
{
    AddinSession addin;
    addin.setLaunchCount(50);
    ASSERT_TRUE(addin.host().run());
    for (int click = 0; click < 3; ++click) {
        addin.host().click("openEshop");
    }
    EXPECT_EQ(addin.shellOpens(3).size(), 3U);
    std::vector<std::string> executeHandlers;
    for (const auto& entry : addin.ops("addHandler")) {
        if (entry.text("event") == "execute:openEshop") {
            executeHandlers.push_back(entry.text("handler"));
            EXPECT_TRUE(std::get<bool>(*entry.find("added")));
        }
    }
    EXPECT_EQ(executeHandlers, std::vector<std::string>(3, "CmdEshopExecuteEventHandler"));
}

TEST(Toolbar, GuideCommandWithoutItsCompanionShowsNothing)
{
    AddinSession addin(withFaults({"Command.commandInputs:runTeachPalette"}));
    addin.setLaunchCount(50);
    ASSERT_TRUE(addin.host().run());
    addin.host().click("runTeachPalette");
    EXPECT_FALSE(addin.host().paletteExists("teachPalete"));
    EXPECT_TRUE(addin.ops("exception").empty());
}

TEST(Toolbar, CommandWithoutCompanionOrExecuteEventGetsNoHandler)
{
    for (const char* fault :
         {"Command.commandInputs:openEshop", "Command.execute:openEshop", "CommandCreatedEventArgs.command:openEshop",
          "CommandCreatedEvent.args:openEshop", "CommandEvent.add:openEshop", "CommandEvent.args:openEshop"}) {
        AddinSession addin(withFaults({fault}));
        ASSERT_TRUE(addin.host().run()) << fault;
        addin.host().click("openEshop");
        // A link from the page after the click marks the end of what the click opened: the
        // Windows browser stand-in records asynchronously, so waiting for nothing proves nothing.
        const std::string sentinel = "https://example.com/sentinel";
        addin.host().message("\"" + sentinel + "\"");
        // Empty execute arguments are not read, so only that fault still opens the shop.
        std::vector<std::string> expected = {sentinel};
        if (std::string(fault) == "CommandEvent.args:openEshop") {
            expected.push_back(trelvik::toHostText(trelvik::config::eshopAddress));
        }
        std::vector<std::string> opened = addin.shellOpens(expected.size());
        std::sort(opened.begin(), opened.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(opened, expected) << fault;
        EXPECT_TRUE(addin.ops("exception").empty()) << fault;
        addin.host().unload();
        EXPECT_EQ(addin.host().outstandingReferences(), 0) << fault;
    }
}

TEST(Toolbar, StopDeletesDefinitionsBeforeControlsEshopFirst)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    ASSERT_TRUE(addin.host().stop());
    EXPECT_EQ(opNames(addin.ops("deleteMe")),
              (std::vector<std::string>{"deleteMe:palette", "deleteMe:commandDefinition", "deleteMe:commandControl",
                                        "deleteMe:commandDefinition", "deleteMe:commandControl"}));
    const auto deleted = addin.ops("deleteMe");
    EXPECT_EQ(deleted[1].text("id"), "openEshop");
    EXPECT_EQ(deleted[4].text("id"), "runTeachPalette");
}

TEST(Toolbar, ControlThatDoesNotCastStaysInPlace)
{
    AddinSession addin;
    ASSERT_TRUE(addin.host().run());
    addin.host().setFaults({"ToolbarControl.cast:runTeachPalette"});
    EXPECT_TRUE(addin.host().stop());
    EXPECT_EQ(addin.host().toolbarControlIds(),
              (std::vector<std::string>{"UserDisplayNameCommand", "HelpGroupCommand", "runTeachPalette"}));
}

} // namespace
