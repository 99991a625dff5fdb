#include "Actions.h"

#include <stdexcept>

namespace hostsim {

std::vector<Action> parseActions(const std::vector<std::string>& words)
{
    std::vector<Action> actions;
    bool unloaded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (unloaded) {
            throw std::invalid_argument("action '" + word + "' after 'unload': the add-in is no longer loaded");
        }
        Action action{Action::Kind::Run, {}};
        if (word == "run") {
            action.kind = Action::Kind::Run;
        } else if (word == "stop") {
            action.kind = Action::Kind::Stop;
        } else if (word == "online") {
            action.kind = Action::Kind::Online;
        } else if (word == "offline") {
            action.kind = Action::Kind::Offline;
        } else if (word == "unload") {
            action.kind = Action::Kind::Unload;
            unloaded = true;
        } else if (word == "click" || word == "message" || word == "close") {
            if (i + 1 >= words.size()) {
                throw std::invalid_argument("action '" + word + "' needs an argument");
            }
            action.kind = word == "click"     ? Action::Kind::Click
                          : word == "message" ? Action::Kind::Message
                                              : Action::Kind::Close;
            action.argument = words[++i];
        } else {
            throw std::invalid_argument(
                "unknown action '" + word +
                "' (expected run, stop, click ID, message TEXT, online, offline, close ID or unload)");
        }
        actions.push_back(std::move(action));
    }
    if (actions.empty()) {
        actions.push_back({Action::Kind::Run, {}});
    }
    return actions;
}

} // namespace hostsim
