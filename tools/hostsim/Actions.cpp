#include "Actions.h"

#include <stdexcept>

namespace hostsim {

namespace {

constexpr const char* expected =
    " (expected run, stop, click ID, message [--action A] TEXT, online, offline, close ID, workspace or unload)";

// The word after words[i], which the action needs.
const std::string& argumentOf(const std::vector<std::string>& words, std::size_t& i, const std::string& action,
                              const char* what)
{
    if (i + 1 >= words.size()) {
        throw std::invalid_argument("action '" + action + "' needs an argument: " + what);
    }
    return words[++i];
}

} // namespace

std::vector<Action> parseActions(const std::vector<std::string>& words)
{
    using Kind = Action::Kind;
    std::vector<Action> actions;
    bool loaded = true;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        Action action{Kind::Run, {}};
        if (word == "run") {
            loaded = true;
        } else if (word == "stop" || word == "unload") {
            if (!loaded) {
                throw std::invalid_argument("action '" + word + "' after 'unload': run loads the add-in again");
            }
            action.kind = word == "stop" ? Kind::Stop : Kind::Unload;
            loaded = word == "stop";
        } else if (word == "online" || word == "offline" || word == "workspace") {
            action.kind = word == "online" ? Kind::Online : word == "offline" ? Kind::Offline : Kind::Workspace;
        } else if (word == "click" || word == "close") {
            action.kind = word == "click" ? Kind::Click : Kind::Close;
            action.argument = argumentOf(words, i, word, "an id");
        } else if (word == "message") {
            action.kind = Kind::Message;
            action.action = "send";
            if (i + 1 < words.size() && words[i + 1] == "--action") {
                ++i;
                action.action = argumentOf(words, i, word, "an action after --action");
            }
            action.argument = argumentOf(words, i, word, "a text");
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
