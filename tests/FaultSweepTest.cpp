// Every fault point the simulated host offers, through a whole session as the host runs one: each
// must take effect, nothing may escape into the host, every reference must be released, no
// contract may be broken but leaving in the host what a refused call kept the add-in from
// removing, and run and stop must return what the add-in's rules give for that fault.
#include "support/AddinSession.h"
#include "support/RunProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>

using testing_support::AddinSession;

namespace {

// Results of run, stop, run, stop in the session below (fresh launch record), and whether a stop
// leaves objects the add-in made in the host (a violation each time the library unloads).
struct Results {
    std::vector<bool> results;
    bool leaves = false;
    bool operator==(const Results&) const = default;
};
const Results allTrue{{true, true, true, true}};
const Results runFails{{false, true, false, true}};
const Results everythingFails{{false, false, false, false}};
// stop leaves a definition or control behind, so the second run cannot define or place it again.
const Results secondRunFails{{true, true, false, true}, true};

// The ids of the commands the add-in defines, learnt from a session rather than spelt out here.
std::vector<std::string> commandIdsOfTheAddin()
{
    AddinSession addin;
    addin.host().run();
    std::vector<std::string> ids;
    for (const auto& entry : addin.ops("addButtonDefinition")) {
        ids.push_back(entry.text("id"));
    }
    return ids;
}

const std::map<std::string, Results>& expectedResults()
{
    static const std::map<std::string, Results> table = {
        {"Application.get", runFails},
        {"Application.userInterface", runFails},
        {"Application.preferences", runFails},
        {"Application.onlineStatusChanged", runFails},
        {"Application.executeTextCommand", allTrue},
        {"Preferences.generalPreferences", runFails},
        {"ApplicationEvent.add", allTrue},
        {"ApplicationEvent.args", allTrue},
        {"UserInterface.toolbars", everythingFails},
        {"UserInterface.commandDefinitions", everythingFails},
        {"UserInterface.palettes", {{true, false, false, false}, true}},
        {"Toolbars.itemById", everythingFails},
        {"Toolbar.controls", {everythingFails.results, true}},
        {"Palettes.itemById", {allTrue.results, true}},
        {"Palettes.add", allTrue},
        {"Palette.incomingFromHTML", allTrue},
        {"HTMLEvent.add", allTrue},
        {"HTMLEvent.args", allTrue},
        {"HTMLEventArgs.data", allTrue},
    };
    static const std::map<std::string, Results> keyed = {
        {"CommandDefinitions.addButtonDefinition", runFails},
        {"CommandDefinitions.itemById", secondRunFails},
        {"CommandDefinition.commandCreated", runFails},
        {"CommandCreatedEvent.add", runFails},
        {"CommandCreatedEvent.args", allTrue},
        {"CommandCreatedEventArgs.command", allTrue},
        {"ToolbarControls.addCommand", runFails},
        {"ToolbarControls.itemById", secondRunFails},
        {"ToolbarControl.cast", secondRunFails},
        {"Command.commandInputs", allTrue},
        {"Command.execute", allTrue},
        {"CommandEvent.add", allTrue},
        {"CommandEvent.args", allTrue},
    };
    static const std::map<std::string, Results> all = [] {
        std::map<std::string, Results> merged = table;
        const std::vector<std::string> ids = commandIdsOfTheAddin();
        for (const auto& [point, results] : keyed) {
            for (const std::string& id : ids) {
                std::string name = point;
                name.append(":").append(id);
                merged[name] = results;
            }
        }
        return merged;
    }();
    return all;
}

std::vector<std::string> listedFaults()
{
    const auto listed = testing_support::runProcess(testing_support::hostsimProgram(), {"--list-faults"});
    EXPECT_EQ(listed.exitCode, 0);
    std::vector<std::string> faults = testing_support::outputLines(listed.out);
    std::erase(faults, std::string());
    return faults;
}

TEST(FaultSweep, EveryFaultPointTakesEffectAndSurvivesAWholeSession)
{
    const auto faults = listedFaults();
    ASSERT_GT(faults.size(), 40U);
    // What hostsim lists is exactly what the add-in reaches: a renamed command would otherwise
    // drop its fault points from the sweep unseen.
    std::vector<std::string> listed = faults;
    std::vector<std::string> swept;
    for (const auto& [point, results] : expectedResults()) {
        swept.push_back(point);
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, swept);
    const std::vector<std::string> commandIds = commandIdsOfTheAddin();
    int survived = 0;
    for (const std::string& fault : faults) {
        SCOPED_TRACE(fault);
        const auto expected = expectedResults().find(fault);
        ASSERT_NE(expected, expectedResults().end()) << "no expected results for " << fault;

        simhost::Options options;
        options.faults = {fault};
        AddinSession addin(options, testing_support::Order::Host);
        simhost::Session& host = addin.host();
        Results results;
        results.results.push_back(host.run());
        for (const std::string& id : commandIds) {
            if (std::ranges::count(host.toolbarControlIds(), id) > 0) {
                host.click(id);
            }
        }
        host.message("\"https://example.com/sweep\"");
        host.setOnline(false);
        host.setOnline(true);
        results.results.push_back(host.stop());
        results.results.push_back(host.run());
        host.setOnline(true);
        results.results.push_back(host.stop());
        std::vector<std::string> broken = host.violations();
        results.leaves = std::erase_if(broken, [](const std::string& violation) {
                             return violation.starts_with("leftInHost: ");
                         }) > 0;

        const bool ok = results == expected->second && addin.ops("exception").empty() &&
                        host.outstandingReferences() == 0 && broken.empty() && host.faultsNeverFired().empty();
        EXPECT_EQ(host.faultsNeverFired(), std::vector<std::string>{}) << "nothing reached this fault point";
        EXPECT_EQ(results.results, expected->second.results);
        EXPECT_EQ(results.leaves, expected->second.leaves);
        EXPECT_TRUE(addin.ops("exception").empty());
        EXPECT_EQ(host.outstandingReferences(), 0);
        EXPECT_EQ(broken, std::vector<std::string>{});
        survived += ok ? 1 : 0;
    }
    std::cout << survived << "/" << faults.size() << " fault points took effect and survived\n";
    EXPECT_EQ(survived, static_cast<int>(faults.size()));
}

} // namespace
