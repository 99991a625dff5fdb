#include "Actions.h"

#include <stdexcept>

namespace hostsim {

namespace {

constexpr const char* expected = " (expected run, stop, click ID, message [--action A] [--palette ID] TEXT, online, "
                                 "offline, close ID, workspace or unload)";

// The word after words[i], which the action needs.
const std::string& argumentOf(const std::vector<std::string>& words, std::size_t& i, const std::string& action,
                              const char* what)
{
    if (i + 1 >= words.size()) {
        throw std::invalid_argument("action '" + action + "' needs an argument: " + what);
    }
    return words[++i];
}

// "message [--action A] [--palette ID] TEXT", from words[i], which says "message".
Action message(const std::vector<std::string>& words, std::size_t& i)
{
    Action action{Action::Kind::Message, {}, "send", {}};
    while (i + 1 < words.size() && (words[i + 1] == "--action" || words[i + 1] == "--palette")) {
        const bool page = words[++i] == "--action";
        (page ? action.action : action.palette) =
            argumentOf(words, i, "message", page ? "an action after --action" : "a palette id after --palette");
    }
    action.argument = argumentOf(words, i, "message", "a text");
    return action;
}

} // namespace

std::vector<Action> parseActions(const std::vector<std::string>& words)
{
    using Kind = Action::Kind;
    std::vector<Action> actions;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        Action action{Kind::Run, {}};
        if (word == "run") {
            action.kind = Kind::Run;
        } else if (word == "stop" || word == "unload") {
            action.kind = word == "stop" ? Kind::Stop : Kind::Unload;
        } else if (word == "online" || word == "offline" || word == "workspace") {
            action.kind = word == "online" ? Kind::Online : word == "offline" ? Kind::Offline : Kind::Workspace;
        } else if (word == "click" || word == "close") {
            action.kind = word == "click" ? Kind::Click : Kind::Close;
            action.argument = argumentOf(words, i, word, "an id");
        } else if (word == "message") {
            action = message(words, i);
        } else {
            throw std::invalid_argument("unknown action '" + word + "'" + expected);
        }
        actions.push_back(std::move(action));
    }
    if (actions.empty()) {
        actions.push_back({Kind::Run, {}});
    }
    return actions;
}

} // namespace hostsim
