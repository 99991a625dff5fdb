// hostsim's command line: output, exit codes, messages.
#include "support/HostsimFixture.h"
#include "support/PeImage.h"
#include "support/UrlRecorder.h"

#include <BuildConfig.h>
#include <hostbridge/HostText.h>

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::Hostsim;
using testing_support::hostsim;
using testing_support::lines;
using testing_support::runProcess;

namespace {

TEST_F(Hostsim, TraceNamesHandlersAndTheUsersClose)
{
    const auto result = hostsimRun({"run", "close", "teachPalete", "click", "runTeachPalette"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto out = lines(result.out);
    const auto has = [&](const std::string& line) { return std::find(out.begin(), out.end(), line) != out.end(); };
    EXPECT_TRUE(has(
        R"({"op":"addHandler","event":"incomingFromHTML:teachPalete","handler":"QuelsHTMLEventHandler","added":true})"));
    EXPECT_TRUE(has(
        R"({"op":"addHandler","event":"onlineStatusChanged","handler":"OnlineStatusChangedHandler","added":true})"));
    EXPECT_TRUE(has(R"({"action":"close","id":"teachPalete"})"));
    // Closed by the user (its closed event fired), shown again by the guide button.
    const auto closed = static_cast<std::size_t>(
        std::find(out.begin(), out.end(), R"({"action":"close","id":"teachPalete"})") - out.begin());
    ASSERT_LT(closed + 2, out.size());
    EXPECT_EQ(out[closed + 1], R"({"op":"event","event":"closed:teachPalete","handlers":0})");
    EXPECT_EQ(out[closed + 2], R"({"action":"click","id":"runTeachPalette"})");
    EXPECT_TRUE(has(R"({"op":"setVisible","id":"teachPalete","value":true})"));
    const auto readable = hostsimRun({"run"}, false);
    EXPECT_NE(readable.out.find("handler=\"QuelsHTMLEventHandler\""), std::string::npos) << readable.out;
}

// WHAT@N refuses only the add-in's Nth call: in run the user interface is asked for at start
// and again for the toolbar; a 99th call is never made in the session.
TEST_F(Hostsim, FailWithACountRefusesOnlyThatCall)
{
    const auto recordAtFive = [&] {
        testing_support::writeBytes(library_.parent_path() / "TrelvikDizivoro360_Info.txt", "01.01.2026\r\n5\r\n");
    };
    recordAtFive();
    const auto second = hostsimRun({"--fail", "Application.userInterface@2", "run"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.out.find(R"({"call":"run","result":false})"), std::string::npos);
    EXPECT_EQ(second.out.find("addButtonDefinition"), std::string::npos);

    recordAtFive();
    const auto third = hostsimRun({"--fail", "Application.userInterface@99", "run"});
    recordAtFive();
    const auto none = hostsimRun({"run"});
    // The same session, but for the note that the third call never came.
    const std::string note = R"({"op":"note","text":"fault never took effect: Application.userInterface@99"})";
    const std::size_t at = third.out.find(note);
    ASSERT_NE(at, std::string::npos) << third.out;
    std::string withoutNote = third.out;
    withoutNote.erase(at, withoutNote.find('\n', at) + 1 - at);
    EXPECT_EQ(withoutNote, none.out);
    EXPECT_NE(none.out.find(R"({"call":"run","result":true})"), std::string::npos);
}

TEST_F(Hostsim, AnyLanguageValueGivesEnglishButTwo)
{
    for (const char* language : {"100", "-1", "2147483647", "15"}) {
        const auto result = hostsimRun({"--language", language, "run"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.out.find("lang=ENG&lic="), std::string::npos) << language;
        std::filesystem::remove(library_.parent_path() / "TrelvikDizivoro360_Info.txt");
    }
}

TEST_F(Hostsim, StartsLeaveACrLfRecordBesideTheLibrary)
{
    const auto record = library_.parent_path() / "TrelvikDizivoro360_Info.txt";
    ASSERT_EQ(hostsimRun({"run", "stop", "unload"}).exitCode, 0);
    const std::string first = testing_support::readBytes(record);
    ASSERT_EQ(first.size(), 13U);
    EXPECT_EQ(first.substr(10), "\r\n1");
    ASSERT_EQ(hostsimRun({"run", "stop", "unload"}).exitCode, 0);
    EXPECT_EQ(testing_support::readBytes(record), first.substr(0, 10) + "\r\n2\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch_.path()), {}), 2);
}

TEST_F(Hostsim, RelativeLibraryPathLoadsThatFileNotOneFoundBySearching)
{
    // hostsim's own folder holds a library of the same name; the one in the working folder counts.
    const auto result = runProcess(hostsim(), {"--json", library_.filename().string(), "run"}, scratch_.path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(testing_support::readBytes(scratch_.path() / "TrelvikDizivoro360_Info.txt").size(), 13U);
    EXPECT_FALSE(std::filesystem::exists(testing_support::binaryDirectory() / "TrelvikDizivoro360_Info.txt"));
}

TEST_F(Hostsim, ReadableOutputByDefaultAndImplicitUnload)
{
    const auto result = hostsimRun({}, false);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto out = lines(result.out);
    EXPECT_NE(std::find(out.begin(), out.end(), "run -> true"), out.end());
    EXPECT_EQ(out.back(), "  references outstanding=0");
}

TEST_F(Hostsim, OptionsReachTheAddin)
{
    const auto result =
        hostsimRun({"--language", "2", "--entitlement", "a&b", "run", "message", R"("https://example.com/x")",
                    "message", R"("file:///C:/Windows/System32/calc.exe")"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("lang=CSY&lic=a%26b\""), std::string::npos);
#if !defined(_WIN32) // the Windows shell is real there: see the URL recorder test
    EXPECT_NE(result.out.find(R"({"op":"shellOpen","verb":"open","file":"https://example.com/x","show":1})"),
              std::string::npos);
    EXPECT_EQ(result.out.find("calc.exe\",\"show\""), std::string::npos);
#endif
}

// The whole list goes through a session in the fault sweep; here the command line around it.
TEST_F(Hostsim, ListedFaultsAreAcceptedAndOneThatNeverTakesEffectIsNoted)
{
    const auto listed = runProcess(hostsim(), {"--list-faults"});
    ASSERT_EQ(listed.exitCode, 0);
    const auto faults = lines(listed.out);
    ASSERT_GT(faults.size(), 40U);
    // Some faults keep the add-in from removing what it made (a violation): allowed here.
    const auto result =
        hostsimRun({"--allow-violations", "--fail", faults.front(), "--fail", faults.back(), "run", "stop", "unload"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.find(R"("op":"exception")"), std::string::npos);
    EXPECT_NE(result.out.find(R"({"op":"references","outstanding":0})"), std::string::npos);

    // Per-command points take any command id; one the add-in never defines never takes effect.
    const auto unknownCommand = hostsimRun(
        {"--fail", "CommandDefinitions.addButtonDefinition:noSuchCommand", "--fail", "Palettes.add@9", "run"});
    EXPECT_EQ(unknownCommand.exitCode, 0) << unknownCommand.err;
    for (const char* never : {"CommandDefinitions.addButtonDefinition:noSuchCommand", "Palettes.add@9"}) {
        EXPECT_NE(unknownCommand.out.find(std::string(R"({"op":"note","text":"fault never took effect: )") + never),
                  std::string::npos)
            << never;
    }
}

#if defined(_WIN32)
// A file that is no PE file at all is refused as such, before the system's loader sees it.
TEST_F(Hostsim, AFileThatIsNoPeFileIsRefusedAsSuch)
{
    const auto notes = scratch_.path() / "notes.dll";
    testing_support::writeBytes(notes, "not a DLL at all\r\n");
    const auto result = runProcess(hostsim(), {notes.string(), "run"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("not a PE file"), std::string::npos) << result.err;
}

// The real Windows shell opens exactly the accepted links in the registered browser.
TEST_F(Hostsim, ShellOpensExactlyTheAcceptedLinks)
{
    const testing_support::ScratchFolder logFolder("urls");
    const auto log = logFolder.path() / "opened.txt";
    testing_support::registerUrlRecorder(log);
    const auto result = hostsimRun({"run", "message", R"("file:///C:/Windows/System32/calc.exe")", "message",
                                    R"("https://example.com/a b")", "message", R"("https://example.cz/kurz-ř?a=1&b=2")",
                                    "click", "openEshop", "stop"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto opened = testing_support::readUrlLog(log, 2);
    std::sort(opened.begin(), opened.end());
    std::vector<std::string> expected{"https://example.cz/kurz-ř?a=1&b=2",
                                      trelvik::toHostText(trelvik::config::eshopAddress)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(opened, expected);
}
#endif

struct UsageCase {
    std::vector<std::string> arguments;
    int exitCode;
    const char* message;
};

void PrintTo(const UsageCase& value, std::ostream* out) { *out << ::testing::PrintToString(value.arguments); }

class HostsimUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(HostsimUsage, ExitCodesAndOneLineMessages)
{
    const auto result = runProcess(hostsim(), GetParam().arguments);
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
    EXPECT_EQ(lines(result.err).size(), 1U) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Hostsim, HostsimUsage,
                         ::testing::Values(UsageCase{{}, 2, "missing ADDIN_LIBRARY"},
                                           UsageCase{{"--bogus", "x"}, 2, "hostsim:"},
                                           UsageCase{{"x.so", "dance"}, 2, "unknown action 'dance'"},
                                           UsageCase{{"x.so", "click"}, 2, "needs an argument"},
                                           UsageCase{{"--fail", "Nope", "x.so"}, 2, "unknown fault point 'Nope'"},
                                           UsageCase{{"--fail", "Palettes.add@0", "x.so"}, 2, "WHAT@N"},
                                           UsageCase{{"--fail", "Palettes.add@x", "x.so"}, 2, "WHAT@N"},
                                           UsageCase{{"x.so", "close"}, 2, "needs an argument"},
                                           UsageCase{{"x.so", "message", "--action", "a"}, 2, "needs an argument"},
                                           UsageCase{{"--language", "two", "x.so"}, 2, "hostsim:"},
                                           UsageCase{{"/no/such/addin.so"}, 1, "/no/such/addin.so"}));

// A damaged or hostile DLL is refused before any loader sees it, with one message naming it, and
// the simulated host is never written where its import table points.
TEST(HostsimLoad, DamagedOrHostileDllIsRefusedByName)
{
    using testing_support::patched;
    using testing_support::PeImage;
    const std::string good = PeImage().bytes();
    PeImage parent;
    parent.library = "..\\abcd.dll";
    PeImage device;
    device.library = "CON.dll";
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    for (const Case& c : {Case{"imports past the end", patched(good, PeImage::importDirectory, 0x7FFF0000),
                               "is not a DLL hostsim can run: a directory or name outside the file's sections"},
                          Case{"a section larger than the file", patched(good, PeImage::section + 16, 0x100000),
                               "is not a DLL hostsim can run: a section larger than the file"},
                          Case{"x86", patched(good, PeImage::machine, 0x14C, 2), "is not a DLL hostsim can run"},
                          Case{"a parent folder", parent.bytes(), "', which is not a plain file name"},
                          Case{"a device", device.bytes(), "', which is not a plain file name"}}) {
        const testing_support::ScratchFolder scratch("damaged");
        const auto dll = scratch.path() / "damaged.dll";
        testing_support::writeBytes(dll, c.bytes);
        const auto result = runProcess(hostsim(), {dll.string(), "run"});
        EXPECT_EQ(result.exitCode, 1) << c.name;
        EXPECT_NE(result.err.find("'" + dll.string() + "'"), std::string::npos) << c.name << ": " << result.err;
        EXPECT_NE(result.err.find(c.reason), std::string::npos) << c.name << ": " << result.err;
        EXPECT_EQ(testing_support::outputLines(result.err).size(), 1U) << c.name << ": " << result.err;
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::temp_directory_path() / "abcd.dll")) << c.name;
    }
}

TEST(HostsimLoad, LibraryWithoutEntryPointsIsNamed)
{
    // hostsim's own interface library is a loadable library without run and stop.
#if defined(_WIN32)
    const auto library = testing_support::binaryDirectory() / "simhost.dll";
#else
    const auto library = testing_support::binaryDirectory() / "libshellstub.so";
#endif
    const auto result = runProcess(hostsim(), {library.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("does not export the required 'run' function"), std::string::npos) << result.err;
}

TEST(HostsimHelp, DescribesTheActions)
{
    const auto result = runProcess(hostsim(), {"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("--list-faults"), std::string::npos);
    EXPECT_NE(result.out.find("click COMMAND_ID"), std::string::npos);
    EXPECT_NE(result.out.find("close PALETTE_ID"), std::string::npos);
    EXPECT_NE(result.out.find("WHAT@N"), std::string::npos);
}

} // namespace
