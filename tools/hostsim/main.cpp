// hostsim: loads an add-in library into the simulated host, drives it through a list of actions
// and prints every effect the add-in has on the host.
#include "Actions.h"
#include "HostForAddin.h"
#include "IconChoice.h"
#include "Picture.h"
#include "TraceFormat.h"

#include <simhost/Session.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>

namespace {

constexpr int exitUsage = 2;
constexpr int exitLoad = 1;
constexpr int exitBrokeAHostRule = 3;

constexpr const char* notes =
    "\nWhere the host's manual is silent, hostsim:\n"
    "  - refuses a second add of the same handler to one event (false), so it is never called twice;\n"
    "  - refuses a second deleteMe (false) and records it as a call through a deleted object;\n"
    "  - sends a page message only from a shown palette (the newest one the add-in created);\n"
    "  - fires a palette's closed event and a command's destroy event to no handler: the add-in's\n"
    "    interface has no way to add one, and the trace shows them as {\"op\":\"event\",...};\n"
    "  - gives run the context {\"IsApplicationStartup\":true|false} and stop an empty one.\n";

// "message --action A TEXT" among the actions: the parser would read --action as one of hostsim's
// options, so the actions from there on are marked as positional ("--" before them).
std::vector<char*> withActionsMarked(int argc, char** argv)
{
    static char marker[] = "--"; // NOLINT(cppcoreguidelines-avoid-c-arrays): an argv entry
    std::vector<char*> arguments(argv, argv + argc);
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
        const std::string word = arguments[i];
        if (word == "--") {
            break;
        }
        if (word == "message" && std::string(arguments[i + 1]) == "--action") {
            arguments.insert(arguments.begin() + static_cast<std::ptrdiff_t>(i), marker);
            break;
        }
    }
    return arguments;
}

void runActions(simhost::Session& session, const std::vector<hostsim::Action>& actions)
{
    using Kind = hostsim::Action::Kind;
    for (const hostsim::Action& action : actions) {
        switch (action.kind) {
        case Kind::Run:
            session.run();
            break;
        case Kind::Stop:
            session.stop();
            break;
        case Kind::Click:
            session.click(action.argument);
            break;
        case Kind::Message:
            session.message(action.argument, action.action);
            break;
        case Kind::Online:
            session.setOnline(true);
            break;
        case Kind::Offline:
            session.setOnline(false);
            break;
        case Kind::Close:
            session.close(action.argument);
            break;
        case Kind::Workspace:
            session.switchWorkspace();
            break;
        case Kind::Unload:
            session.unload();
            break;
        }
    }
}

// The host's end: it stops and unloads its add-ins, so the balance is always reported.
void endSession(simhost::Session& session)
{
    if (session.loaded()) {
        session.unload();
    }
    // A fault that never took effect is most likely a command id the add-in does not define.
    for (const std::string& fault : session.faultsNeverFired()) {
        session.note("fault never took effect: " + fault);
    }
}

// Whether the add-in broke a host rule: a violation recorded, or an exception that reached the host.
bool brokeAHostRule(const simhost::Session& session)
{
    return !session.violations().empty() || std::ranges::any_of(session.trace(), [](const simhost::TraceEntry& entry) {
        return entry.is("op", "exception");
    });
}

// Writes the picture of the host's state now; false (with a message) when the file cannot be written.
bool writePicture(simhost::Session& session, const std::string& file, const hostsim::PictureOptions& options)
{
    const std::string svg = hostsim::drawPicture(session, options);
    const std::filesystem::path path(std::u8string(reinterpret_cast<const char8_t*>(file.data()), file.size()));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << svg;
    out.close();
    if (!out) {
        std::cerr << "hostsim: cannot write the picture to '" << file << "'\n";
        return false;
    }
    return true;
}

} // namespace

// The command line as UTF-8, whatever the platform.
int hostsimMain(int argc, char** argv)
{
    CLI::App app{"Loads an add-in library into a simulated Fusion 360 host, runs ACTIONs in order and "
                 "prints every effect on the host.\n"
                 "ACTION: run | stop | click COMMAND_ID | message [--action A] TEXT | online | offline | "
                 "close PALETTE_ID | workspace | unload (default: run). Options come before the actions; put -- "
                 "before actions whose text starts with '-'.\n"
                 "Exit status: 0 for a clean session, 1 when the library cannot be loaded, 2 for a usage error, 3 "
                 "when the add-in broke a host rule (a violation or an exception in the trace).",
                 "hostsim"};
    app.footer(notes);
    simhost::Options options;
    std::string entitlement;
    bool listFaults = false;
    bool json = false;
    std::string picture;
    hostsim::PictureOptions pictureOptions;
    std::string library;
    std::vector<std::string> words;
    std::string startup = "host";
    bool allowViolations = false;
    app.allow_windows_style_options(false); // a library path may start with '/'
    app.add_option("--language", options.language, "UI language the host reports (default 3; 2 is Czech)");
    app.add_option("--entitlement", entitlement, "text returned by \"Debug.EntitlementString\" (default: none)");
    app.add_flag("--offline", options.offline, "the host is off-line when the add-in starts");
    app.add_option("--fail", options.faults,
                   "make one host operation yield none / refuse (repeatable); WHAT@N: only the add-in's Nth call of "
                   "it in this session, counting from 1")
        ->type_name("WHAT")
        ->allow_extra_args(false)
        ->take_all();
    app.add_flag("--list-faults", listFaults, "print every WHAT that --fail accepts and exit");
    app.add_flag("--json", json, "print the trace as JSON Lines");
    app.add_option("--startup", startup, "how the first run comes: with the host starting, or from the dialog")
        ->check(CLI::IsMember({"host", "dialog"}))
        ->default_val("host");
    app.add_flag("--allow-violations", allowViolations,
                 "exit 0 although the add-in broke a host rule (for sessions that plant one on purpose)");
    app.add_option("--picture", picture, "after the actions, write an SVG of what the host shows (toolbar, palette)")
        ->type_name("FILE");
    app.add_option("--scale", pictureOptions.scale,
                   "the picture's screen: 1, or 2 for a high-resolution one (default 1)")
        ->check(CLI::IsMember({1, 2}));
    app.add_option("--theme", pictureOptions.theme,
                   "the picture's UI theme: normal, light_gray or dark_blue (default normal)")
        ->check(CLI::IsMember(hostsim::themes));
    app.add_option("ADDIN_LIBRARY", library, "the add-in library to load");
    app.add_option("ACTION", words, "actions, in order");

    try {
        std::vector<char*> arguments = withActionsMarked(argc, argv);
        app.parse(static_cast<int>(arguments.size()), arguments.data());
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::ParseError& error) {
        std::cerr << "hostsim: " << error.what() << " (see --help)\n";
        return exitUsage;
    }
    if (listFaults) {
        for (const std::string& point : simhost::Session::faultPoints()) {
            std::cout << point << '\n';
        }
        return 0;
    }
    if (library.empty()) {
        std::cerr << "hostsim: missing ADDIN_LIBRARY (see --help)\n";
        return exitUsage;
    }
    if (app.count("--entitlement") > 0) {
        options.entitlement = entitlement;
    }
    options.fromDialog = startup == "dialog";

    try {
        const std::vector<hostsim::Action> actions = hostsim::parseActions(words);
        const std::filesystem::path addin(
            std::u8string(reinterpret_cast<const char8_t*>(library.data()), library.size()));
        std::unique_ptr<hostsim::HostForAddin> host;
        try {
            host = std::make_unique<hostsim::HostForAddin>(addin);
        } catch (const simhost::LoadError& error) {
            std::cerr << "hostsim: " << error.what() << '\n';
            return exitLoad;
        }
        simhost::Session session(options, host->path());
        int status = 0;
        try {
            session.load(addin);
            runActions(session, actions);
            // What the host shows after the actions, before its end takes the add-in away.
            if (!picture.empty() && !writePicture(session, picture, pictureOptions)) {
                status = exitLoad;
            }
            endSession(session);
        } catch (const simhost::LoadError& error) {
            std::cerr << "hostsim: " << error.what() << '\n';
            status = exitLoad;
        }
        if (status == 0 && !allowViolations && brokeAHostRule(session)) {
            status = exitBrokeAHostRule;
        }
        for (const simhost::TraceEntry& entry : session.trace()) {
            std::cout << (json ? hostsim::toJsonLine(entry) : hostsim::toReadableLine(entry)) << '\n';
        }
        return status;
    } catch (const std::invalid_argument& error) {
        std::cerr << "hostsim: " << error.what() << '\n';
        return exitUsage;
    } catch (const simhost::UsageError& error) {
        std::cerr << "hostsim: " << error.what() << '\n';
        return exitUsage;
    }
}

// Anything unexpected ends hostsim with a message rather than an abort.
int guardedMain(int argc, char** argv) noexcept
{
    try {
        return hostsimMain(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "hostsim: " << error.what() << '\n';
    } catch (...) {
        std::cerr << "hostsim: unexpected error\n";
    }
    return 1;
}

#if defined(_WIN32)
#include <windows.h>

// Windows passes the command line as UTF-16; hostsim works in UTF-8.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, utf8.data(), size, nullptr, nullptr);
        arguments.push_back(std::move(utf8));
    }
    std::vector<char*> pointers;
    for (std::string& argument : arguments) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    return guardedMain(argc, pointers.data());
}
#else
int main(int argc, char** argv) { return guardedMain(argc, argv); }
#endif
