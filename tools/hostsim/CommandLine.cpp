#include "CommandLine.h"

#include "IconChoice.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace hostsim {

namespace {

constexpr int exitUsage = 2;

constexpr const char* description =
    "Loads an add-in library into a simulated Fusion 360 host, runs ACTIONs in order and prints every effect on the "
    "host.\n"
    "ACTION: run | stop | click COMMAND_ID | message [--action A] [--palette ID] TEXT | online | offline | close "
    "PALETTE_ID | workspace | unload (default: run). Options come before the actions; put -- before actions whose "
    "text starts with '-'.\n"
    "As the host: run once a load, its context {\"IsApplicationStartup\":true|false}; stop once after run, its "
    "context {\"IsApplicationClosing\":false}, the library then unloaded (a later run loads it anew); at the end "
    "the add-in is stopped as the host exits ({\"IsApplicationClosing\":true}) and unloaded. An action the host "
    "never takes (stop before run, run or stop twice, a click on a button no toolbar has, a close of a palette "
    "that is hidden or has no close button) is a usage error.\n"
    "Exit status: 0 for a clean session, 1 when the library cannot be loaded, 2 for a usage error, 3 when the "
    "add-in broke a host rule (a violation or an exception in the trace).";

constexpr const char* notes =
    "\nWhere the host's manual is silent, hostsim:\n"
    "  - refuses a second add of the same handler to one event (false), so it is never called twice;\n"
    "  - refuses a second deleteMe (false) and records it as a call through a deleted object;\n"
    "  - sends a page message only from a shown palette (the one named, else the newest shown one);\n"
    "  - fires a palette's closed event and a command's destroy event to no handler: the add-in's\n"
    "    interface has no way to add one, and the trace shows them as {\"op\":\"event\",...};\n"
    "  - records as violations what an add-in leaves when its library unloads (handlers still added,\n"
    "    which are then never called, objects it made, references it holds), and every host call\n"
    "    made off the host's thread, which is not carried out.\n";

// "message --action A TEXT" among the actions: the parser would read --action as one of hostsim's
// options, so the actions from there on are marked as positional ("--" before them).
std::vector<char*> withActionsMarked(int argc, char** argv)
{
    static char marker[] = "--"; // NOLINT(cppcoreguidelines-avoid-c-arrays): an argv entry
    std::vector<char*> arguments(argv, argv + argc);
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
        const std::string word = arguments[i];
        const std::string next = arguments[i + 1];
        if (word == "--") {
            break;
        }
        if (word == "message" && (next == "--action" || next == "--palette")) {
            arguments.insert(arguments.begin() + static_cast<std::ptrdiff_t>(i), marker);
            break;
        }
    }
    return arguments;
}

void addOptions(CLI::App& app, CommandLine& line, std::string& entitlement, std::string& startup)
{
    simhost::Options& options = line.options;
    app.add_option("--language", options.language, "UI language the host reports (default 3; 2 is Czech)");
    app.add_option("--entitlement", entitlement, "text returned by \"Debug.EntitlementString\" (default: none)");
    app.add_flag("--offline", options.offline, "the host is off-line when the add-in starts");
    app.add_option("--fail", options.faults,
                   "make one host operation yield none / refuse (repeatable); WHAT@N: only the add-in's Nth call of "
                   "it in this session, counting from 1")
        ->type_name("WHAT")
        ->allow_extra_args(false)
        ->take_all();
    app.add_flag("--list-faults", line.listFaults, "print every WHAT that --fail accepts and exit");
    app.add_flag("--json", line.json, "print the trace as JSON Lines");
    app.add_option("--startup", startup, "how the first run comes: with the host starting, or from the dialog")
        ->check(CLI::IsMember({"host", "dialog"}))
        ->default_val("host");
    app.add_flag("--any-order", options.anyOrder,
                 "let run and stop come in orders the host never makes (stop before run, either twice), to test an "
                 "add-in's defences: they reach the library loaded now (a stop leaves it loaded until unload), and the "
                 "trace marks them \"outOfOrder\"");
    app.add_flag("--allow-violations", line.allowViolations,
                 "exit 0 although the add-in broke a host rule (for sessions that plant one on purpose)");
    app.add_option("--picture", line.picture,
                   "after the actions, write an SVG of what the host shows (toolbar, palette)")
        ->type_name("FILE");
    app.add_option("--scale", line.pictureOptions.scale,
                   "the picture's screen: 1, or 2 for a high-resolution one (default 1)")
        ->check(CLI::IsMember({1, 2}));
    app.add_option("--theme", line.pictureOptions.theme,
                   "the picture's UI theme: normal, light_gray or dark_blue (default normal)")
        ->check(CLI::IsMember(themes));
    app.add_option("ADDIN_LIBRARY", line.library, "the add-in library to load");
    app.add_option("ACTION", line.actions, "actions, in order");
}

} // namespace

std::optional<int> readCommandLine(int argc, char** argv, CommandLine& line)
{
    CLI::App app{description, "hostsim"};
    app.footer(notes);
    app.allow_windows_style_options(false); // a library path may start with '/'
    std::string entitlement;
    std::string startup = "host";
    addOptions(app, line, entitlement, startup);
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
    if (line.library.empty() && !line.listFaults) {
        std::cerr << "hostsim: missing ADDIN_LIBRARY (see --help)\n";
        return exitUsage;
    }
    if (app.count("--entitlement") > 0) {
        line.options.entitlement = entitlement;
    }
    line.options.fromDialog = startup == "dialog";
    return std::nullopt;
}

} // namespace hostsim
