// hostsim: loads an add-in library into the simulated host, drives it through a list of actions
// and prints every effect the add-in has on the host.
#include "Actions.h"
#include "CommandLine.h"
#include "HostForAddin.h"
#include "Picture.h"
#include "TraceFormat.h"

#include <simhost/Session.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <stdexcept>

namespace {

constexpr int exitLoad = 1;
constexpr int exitUsage = 2;
constexpr int exitBrokeAHostRule = 3;

void runAction(simhost::Session& session, const hostsim::Action& action)
{
    using Kind = hostsim::Action::Kind;
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
        session.message(action.argument, action.action, action.palette);
        break;
    case Kind::Online:
    case Kind::Offline:
        session.setOnline(action.kind == Kind::Online);
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

// The host's end: it stops and unloads its add-ins, so the balance is always reported.
void endSession(simhost::Session& session)
{
    session.unload();
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

// The actions, the picture and the host's end; the exit status. An action the host never takes
// ends the actions there: the host still ends the add-in, and the trace shows all of it.
int drive(simhost::Session& session, const std::filesystem::path& addin, const hostsim::CommandLine& line,
          const std::vector<hostsim::Action>& actions)
{
    int status = 0;
    try {
        session.load(addin);
        for (const hostsim::Action& action : actions) {
            runAction(session, action);
        }
        // What the host shows after the actions, before its end takes the add-in away.
        if (!line.picture.empty() && !writePicture(session, line.picture, line.pictureOptions)) {
            status = exitLoad;
        }
    } catch (const simhost::LoadError& error) {
        std::cerr << "hostsim: " << error.what() << '\n';
        return exitLoad;
    } catch (const simhost::UsageError& error) {
        std::cerr << "hostsim: " << error.what() << '\n';
        status = exitUsage;
    }
    endSession(session);
    if (status == 0 && !line.allowViolations && brokeAHostRule(session)) {
        status = exitBrokeAHostRule;
    }
    return status;
}

int runSession(const hostsim::CommandLine& line)
{
    const std::vector<hostsim::Action> actions = hostsim::parseActions(line.actions);
    const std::filesystem::path addin(
        std::u8string(reinterpret_cast<const char8_t*>(line.library.data()), line.library.size()));
    std::unique_ptr<hostsim::HostForAddin> host;
    try {
        host = std::make_unique<hostsim::HostForAddin>(addin);
    } catch (const simhost::LoadError& error) {
        std::cerr << "hostsim: " << error.what() << '\n';
        return exitLoad;
    }
    simhost::Session session(line.options, host->path());
    const int status = drive(session, addin, line, actions);
    for (const simhost::TraceEntry& entry : session.trace()) {
        std::cout << (line.json ? hostsim::toJsonLine(entry) : hostsim::toReadableLine(entry)) << '\n';
    }
    return status;
}

} // namespace

// The command line as UTF-8, whatever the platform.
int hostsimMain(int argc, char** argv)
{
    hostsim::CommandLine line;
    if (const std::optional<int> done = hostsim::readCommandLine(argc, argv, line)) {
        return *done;
    }
    try {
        if (line.listFaults) {
            for (const std::string& point : simhost::Session::faultPoints()) {
                std::cout << point << '\n';
            }
            return 0;
        }
        return runSession(line);
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
#include <Utf8.h>

// Windows passes the command line as UTF-16; hostsim works in UTF-8.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(plumbing::utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
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
