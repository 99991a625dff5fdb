// Drives a copy of the add-in, in a folder of its own, through the simulated host.
#pragma once

#include "TestPaths.h"

#include <simhost/Session.h>

#include <string>
#include <vector>

namespace testing_support {

// How a session takes run and stop: in any order, so that what is under test is the add-in's own
// handling of them (a stop leaves the library loaded, as the same load may be run or stopped
// again), or only as the host gives them (a stop unloads the library).
enum class Order { Any, Host };

class AddinSession {
public:
    // Copies the add-in into folder (created if needed) and loads it.
    AddinSession(const std::filesystem::path& folder, const simhost::Options& options = {}, Order order = Order::Any);
    // Loads a copy in a scratch folder of its own.
    explicit AddinSession(const simhost::Options& options = {}, Order order = Order::Any);

    simhost::Session& host() { return session_; }
    [[nodiscard]] const std::filesystem::path& library() const { return library_; }
    [[nodiscard]] std::filesystem::path record() const;

    // Trace entries with that kind ("op", "call", "action") and value, in order.
    [[nodiscard]] std::vector<simhost::TraceEntry> entries(const std::string& kind, const std::string& value) const;
    [[nodiscard]] std::vector<simhost::TraceEntry> ops(const std::string& op) const { return entries("op", op); }
    [[nodiscard]] bool exceptionReachedTheHost() const { return !ops("exception").empty(); }
    // The ops recorded from now on.
    [[nodiscard]] std::size_t mark() const { return session_.trace().size(); }
    [[nodiscard]] std::vector<simhost::TraceEntry> opsSince(std::size_t mark) const;
    // The links the shell was asked to open so far, at least atLeast of them: from the trace
    // where the shell is simulated, from the registered URL recorder on Windows (which runs
    // asynchronously, so this waits for them).
    [[nodiscard]] std::vector<std::string> shellOpens(std::size_t atLeast = 0) const;
    // Sets the record's counter so that the next run yields launchCount.
    void setLaunchCount(int launchCount) const;

private:
    std::unique_ptr<ScratchFolder> scratch_;
    std::unique_ptr<ScratchFolder> shellLog_;
    std::filesystem::path library_;
    simhost::Session session_;
};

// Session options with these fault points active (and the host off-line at start if asked).
simhost::Options withFaults(std::vector<std::string> faults, bool offline = false);

// The ops of a session, each as "op" or "op:field" text, to compare sequences.
std::vector<std::string> opNames(const std::vector<simhost::TraceEntry>& entries);
// The ops since the mark that concern the learning palette, as opNames gives them.
std::vector<std::string> paletteOps(const AddinSession& addin, std::size_t since);
// The handlers added (or refused, with added false) to the palette's page-message event, in order.
std::vector<std::string> messageHandlers(const AddinSession& addin, bool added);
// An on-line report, as the host gives one: it reports changes only, so off-line and back.
void reportOnline(simhost::Session& host);

} // namespace testing_support
