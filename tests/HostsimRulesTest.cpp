// hostsim holds an add-in to the host's rules: the host's lifecycle and the orders it never takes,
// and what a careless or broken add-in does, each named in the trace, never a crash.
#include "support/HostsimFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::addinSuffix;
using testing_support::Hostsim;
using testing_support::hostsim;
using testing_support::lines;
using testing_support::runProcess;

namespace {

// With --any-order a second stop reaches the same load of the add-in, marked: its action marker is
// directly followed by its result, no host call between; the unload after it stops nothing more.
TEST_F(Hostsim, AnyOrderLetsASecondStopReachTheAddin)
{
    const auto result = hostsimRun({"--any-order", "run", "stop", "stop", "unload"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto out = lines(result.out);
    const auto second = std::ranges::find(out, R"({"action":"stop","outOfOrder":true})");
    ASSERT_NE(second, out.end()) << result.out;
    EXPECT_EQ(*(second + 1), R"({"call":"stop","result":true})");
    EXPECT_EQ(*(second + 2), R"({"action":"unload"})");
    EXPECT_EQ(std::ranges::count(out, R"({"call":"stop","result":true})"), 2);
    EXPECT_EQ(out.back(), R"({"op":"references","outstanding":0})");
    EXPECT_EQ(result.out.find(R"("op":"exception")"), std::string::npos);
    EXPECT_EQ(hostsimRun({"--any-order", "stop"}).exitCode, 0);
}

// What the host never does is a usage error (exit 2, one line naming the action), the trace of
// what ran still printed; the host's end still comes.
struct OrderCase {
    std::vector<std::string> actions;
    const char* message;
};

void PrintTo(const OrderCase& value, std::ostream* out) { *out << ::testing::PrintToString(value.actions); }

class HostsimOrder : public Hostsim, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(HostsimOrder, AnActionTheHostNeverTakesIsAUsageError)
{
    const auto result = hostsimRun(GetParam().actions);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
    EXPECT_EQ(lines(result.err).size(), 1U) << result.err;
    EXPECT_NE(result.out.find(R"({"op":"load","library":)"), std::string::npos);
    EXPECT_EQ(lines(result.out).back(), R"({"op":"references","outstanding":0})");
}

INSTANTIATE_TEST_SUITE_P(Hostsim, HostsimOrder,
                         ::testing::Values(OrderCase{{"stop"}, "'stop' before 'run'"},
                                           OrderCase{{"run", "run"}, "'run' while the add-in runs"},
                                           OrderCase{{"run", "stop", "stop"}, "'stop' when the add-in is not running"},
                                           OrderCase{{"run", "click", "noSuchCommand"}, "'click noSuchCommand'"},
                                           OrderCase{{"run", "stop", "click", "openEshop"}, "'click openEshop'"},
                                           OrderCase{{"run", "close", "noSuchPalette"}, "'close noSuchPalette'"}));

// The host's lifecycle: run after stop loads the library anew (its static state fresh, so no
// handler is added twice), a workspace switch deletes the palette and the guide makes a new one,
// a command's destroy follows its execute, and the end of the session stops before it unloads.
TEST_F(Hostsim, RunAfterStopLoadsAnewAndAWorkspaceSwitchTakesThePalette)
{
    const auto result =
        hostsimRun({"run", "stop", "run", "click", "runTeachPalette", "workspace", "click", "runTeachPalette", "stop"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto out = lines(result.out);
    const auto count = [&](const std::string& part) {
        return std::ranges::count_if(out,
                                     [&](const std::string& line) { return line.find(part) != std::string::npos; });
    };
    EXPECT_EQ(count(R"({"op":"load",)"), 2);
    EXPECT_EQ(count(R"("event":"onlineStatusChanged")"), 2);
    EXPECT_EQ(count(R"("added":false)"), 0);
    EXPECT_EQ(count("violation"), 0);
    const auto workspace = std::ranges::find(out, R"({"action":"workspace"})");
    ASSERT_NE(workspace, out.end());
    EXPECT_EQ(*(workspace + 1), R"({"op":"deleteMe","kind":"palette","id":"teachPalete"})");
    EXPECT_NE(std::find_if(workspace, out.end(),
                           [](const std::string& line) { return line.starts_with(R"({"op":"addPalette")"); }),
              out.end());
    const auto executed = std::ranges::find(
        out,
        R"({"op":"addHandler","event":"execute:runTeachPalette","handler":"CmdExecuteEventHandler","added":true})");
    ASSERT_NE(executed, out.end());
    EXPECT_NE(std::find(executed, out.end(), R"({"op":"event","event":"destroy:runTeachPalette","handlers":0})"),
              out.end());
    EXPECT_EQ(out.back(), R"({"op":"references","outstanding":0})");

    // The end of a session that is running stops the add-in first.
    const auto ended = lines(hostsimRun({"run"}).out);
    const auto unload = std::ranges::find(ended, R"({"action":"unload"})");
    EXPECT_NE(std::find(unload, ended.end(), R"({"call":"stop","result":true})"), ended.end());

    // run after unload loads the library again, as after stop.
    const auto reloaded = lines(hostsimRun({"run", "unload", "run"}).out);
    EXPECT_EQ(
        std::ranges::count_if(reloaded, [](const std::string& line) { return line.starts_with(R"({"op":"load",)"); }),
        2);
    EXPECT_EQ(std::ranges::count(reloaded, R"({"call":"run","result":true})"), 2);
}

// The probe add-in does what a careless add-in does (tests/fixtures/ProbeAddin.cpp): hostsim names
// each thing it did in the trace and exits 3, never by a signal, whatever the actions after it.
class HostsimProbe : public ::testing::Test {
protected:
#if !defined(_WIN32)
    // The probe leaks its handler on purpose; the sanitizers' leak check would end hostsim with
    // its own status.
    void SetUp() override { setenv("LSAN_OPTIONS", "detect_leaks=0", 1); }
    void TearDown() override { unsetenv("LSAN_OPTIONS"); }
#endif

    static testing_support::ProcessResult probe(std::vector<std::string> options,
                                                const std::vector<std::string>& actions)
    {
        options.insert(options.begin(), "--json");
        options.push_back((testing_support::binaryDirectory() / ("probe_addin" + addinSuffix())).string());
        options.insert(options.end(), actions.begin(), actions.end());
        return runProcess(hostsim(), options);
    }
};

TEST_F(HostsimProbe, ACarelessAddinIsToldWhatItDidAndNeverCrashesHostsim)
{
    const auto result = probe({}, {"run", "click", "probeButton", "stop"});
    EXPECT_EQ(result.exitCode, 3) << result.err;
    for (
        const char* line : {
            R"({"op":"violation","kind":"notModelled","call":"CommandControl.isPromoted"})",
            R"({"op":"addButtonDefinition","id":"typeCheckPassed",)", // objectType() == Palette::classType()
            R"({"op":"violation","rule":"wrongThread","detail":"Application.userInterface"})",
            R"({"op":"violation","kind":"notModelled","call":"CommandInputs.addBoolValueInput"})",
            R"({"op":"violation","kind":"notModelled","call":"CommandEventArgs.executeFailed"})",
            R"({"call":"stop","result":false})", // the dialog's Stop: the host is not closing
            R"({"op":"violation","rule":"handlerLeftRegistered","detail":"ProbeCreatedHandler on commandCreated:probeButton"})",
            R"({"op":"violation","rule":"leftInHost","detail":"CommandControl probeButton"})",
            R"({"op":"violation","rule":"leftInHost","detail":"Palette probePalette"})",
            R"({"op":"violation","rule":"referencesOutstanding","detail":"UserInterface x1"})",
        }) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
    }
    // A call from another thread is not carried out: not even a reference is counted.
    EXPECT_NE(result.out.find(R"({"op":"violation","rule":"wrongThread","detail":"Application.addref"})"),
              std::string::npos);

    // After stop its library is gone: a click on the button it left reaches nothing of it.
    const auto after = probe({}, {"run", "stop", "unload", "click", "probeButton"});
    EXPECT_EQ(after.exitCode, 3) << after.err;
    const auto out = lines(after.out);
    const auto click = std::ranges::find(out, R"({"action":"click","id":"probeButton"})");
    ASSERT_NE(click, out.end()) << after.out;
    EXPECT_EQ(*(click + 1), R"({"op":"event","event":"destroy:probeButton","handlers":0})");
    EXPECT_EQ(click + 2, out.end());

    // The host exiting tells stop so; a palette without a close button cannot be closed.
    EXPECT_NE(probe({}, {"run"}).out.find(R"({"call":"stop","result":true})"), std::string::npos);
    const auto closing = probe({}, {"run", "close", "probePalette"});
    EXPECT_EQ(closing.exitCode, 2);
    EXPECT_NE(closing.err.find("'close probePalette'"), std::string::npos) << closing.err;
}

// Either broken rule alone fails the session.
TEST_F(HostsimProbe, AViolationAloneOrAnExceptionAloneFailsTheSession)
{
    const auto violation = probe({"--entitlement", "violation"}, {"run"});
    EXPECT_EQ(violation.exitCode, 3) << violation.out;
    EXPECT_NE(violation.out.find(R"("rule":"callThroughDeleted")"), std::string::npos);
    EXPECT_EQ(violation.out.find(R"("op":"exception")"), std::string::npos);
    const auto exception = probe({"--entitlement", "exception"}, {"run"});
    EXPECT_EQ(exception.exitCode, 3) << exception.out;
    EXPECT_NE(exception.out.find(R"({"op":"exception","where":"run"})"), std::string::npos);
    EXPECT_EQ(exception.out.find(R"("op":"violation")"), std::string::npos);
}

// An add-in that calls through a palette it deleted and lets an exception out of stop fails the
// session (exit 3, both in the trace) unless violations are allowed; run is told whether the host
// is starting (the fixture answers it).
TEST(HostsimRules, BrokenAddinFailsTheSessionAndRunHearsTheStartup)
{
    testing_support::ScratchFolder scratch("broken");
    const std::filesystem::path broken = testing_support::binaryDirectory() / ("broken_addin" + addinSuffix());
    const auto run = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--json", broken.string()});
        return runProcess(hostsim(), arguments);
    };
    const auto failed = run({"run", "stop", "run"});
    EXPECT_EQ(failed.exitCode, 3) << failed.err;
    const auto out = lines(failed.out);
    const auto has = [&](const std::string& line) { return std::ranges::find(out, line) != out.end(); };
    EXPECT_TRUE(has(R"({"op":"violation","rule":"callThroughDeleted","detail":"Palette brokenPalette.isVisible"})"))
        << failed.out;
    EXPECT_TRUE(has(R"({"op":"exception","where":"stop"})"));
    EXPECT_TRUE(has(R"({"call":"run","result":true})"));  // the first run: the host is starting
    EXPECT_TRUE(has(R"({"call":"run","result":false})")); // the dialog's Run after Stop
    EXPECT_EQ(run({"--allow-violations", "run"}).exitCode, 0);
    const auto dialog = run({"--allow-violations", "--startup", "dialog", "run"});
    EXPECT_NE(dialog.out.find(R"({"call":"run","result":false})"), std::string::npos) << dialog.out;
    EXPECT_EQ(dialog.out.find(R"({"call":"run","result":true})"), std::string::npos);
}

} // namespace
