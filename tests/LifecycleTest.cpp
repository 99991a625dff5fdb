// run, stop and unload of the add-in in the simulated host.
#include "support/AddinSession.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::AddinSession;
using testing_support::withFaults;

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
    EXPECT_FALSE(addin.exceptionReachedTheHost());
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
    EXPECT_FALSE(addin.exceptionReachedTheHost());
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
            EXPECT_FALSE(addin.exceptionReachedTheHost()) << fault;
        }
    }
}
