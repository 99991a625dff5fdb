#include "SessionState.h"

#include "AddinLibrary.h"
#include "Model.h"

#include <Core/EventHandler.h>

#include <algorithm>
#include <cstdlib>
#include <exception>

namespace simhost {

namespace {
SessionState* g_current = nullptr;
} // namespace

SessionState* SessionState::current() { return g_current; }

SessionState::SessionState(Options options) : options_(std::move(options)), offline_(options_.offline)
{
    setFaults(options_.faults);
    if (g_current != nullptr) {
        throw UsageError("a host session is already running");
    }
    app_ = &make<AppImpl>();
    g_current = this;
}

SessionState::~SessionState()
{
    // The library goes first so its handler objects can still reach the session; the objects
    // go before the connection registry that their events update.
    library_.reset();
    objects_.clear();
    g_current = nullptr;
}

void SessionState::setFaults(const std::vector<std::string>& faults)
{
    const auto& known = Session::faultPoints();
    std::set<std::string> every;
    std::map<std::string, std::set<long>> nth;
    for (const std::string& fault : faults) {
        const std::size_t at = fault.find('@');
        const std::string point = fault.substr(0, at);
        if (std::find(known.begin(), known.end(), point) == known.end()) {
            throw UsageError("unknown fault point '" + point + "' (see --list-faults)");
        }
        if (at == std::string::npos) {
            every.insert(point);
            continue;
        }
        const std::string count = fault.substr(at + 1);
        char* end = nullptr;
        const long n = std::strtol(count.c_str(), &end, 10);
        if (count.empty() || *end != '\0' || n < 1 || count.find_first_not_of("0123456789") != std::string::npos) {
            throw UsageError("'" + fault + "': N in WHAT@N must be a whole number from 1");
        }
        nth[point].insert(n);
    }
    faults_ = std::move(every);
    nthFaults_ = std::move(nth);
    calls_.clear();
}

bool SessionState::fault(const std::string& point)
{
    const long call = ++calls_[point];
    const auto nth = nthFaults_.find(point);
    if (!faults_.contains(point) && (nth == nthFaults_.end() || !nth->second.contains(call))) {
        return false;
    }
    trace("op", "fault").add("what", point);
    return true;
}

TraceEntry& SessionState::trace(std::string kind, std::string value)
{
    trace_.emplace_back().add(std::move(kind), std::move(value));
    return trace_.back();
}

void SessionState::violation(const std::string& rule, const std::string& detail)
{
    violations_.push_back(rule + ": " + detail);
    trace("op", "violation").add("rule", rule).add("detail", detail);
}

void SessionState::deliver(const std::string& where, const std::function<void()>& notify)
{
    try {
        notify();
    } catch (...) {
        // A real host could terminate here and lose the user's work; we record it instead.
        trace("op", "exception").add("where", where);
    }
}

void SessionState::connect(const adsk::core::EventHandler* handler, HandlerSlot* slot)
{
    connections_[handler].push_back(slot);
}

void SessionState::disconnect(const adsk::core::EventHandler* handler, HandlerSlot* slot)
{
    const auto it = connections_.find(handler);
    if (it == connections_.end()) {
        return;
    }
    auto& slots = it->second;
    slots.erase(std::remove(slots.begin(), slots.end(), slot), slots.end());
    if (slots.empty()) {
        connections_.erase(it);
    }
}

void SessionState::handlerConstructed(const adsk::core::EventHandler* /*handler*/) { journal("handler constructed"); }

void SessionState::handlerDestroyed(const adsk::core::EventHandler* handler)
{
    journal("handler destroyed");
    const auto it = connections_.find(handler);
    if (it == connections_.end()) {
        return;
    }
    const std::vector<HandlerSlot*> slots = std::move(it->second);
    connections_.erase(it);
    for (HandlerSlot* slot : slots) {
        slot->disconnect(handler);
    }
}

void Tracked::addReference() { ++references_; }

void Tracked::releaseReference()
{
    if (references_ == 0) {
        session_.violation("releaseWithoutReference", label_);
        return;
    }
    --references_;
    if (session_.library_ != nullptr && session_.library_->unloading()) {
        session_.journal("release " + label_);
    }
}

void Tracked::checkAlive(const char* operation) const
{
    if (deleted_) {
        session_.violation("callThroughDeleted", label_ + "." + operation);
    }
}

} // namespace simhost
