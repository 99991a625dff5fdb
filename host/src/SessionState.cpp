#include "SessionState.h"

#include "AddinLibrary.h"
#include "FaultPoints.h"
#include "model/Application.h"

#include <Core/EventHandler.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace simhost {

namespace {

SessionState* g_current = nullptr;

// A name --fail accepts: a plain point, or a per-command point with any command id.
bool isFaultPoint(const std::string& point)
{
    if (std::find(faults::plain.begin(), faults::plain.end(), point) != faults::plain.end()) {
        return true;
    }
    const std::size_t colon = point.find(':');
    return colon != std::string::npos && colon + 1 < point.size() &&
           std::find(faults::perCommand.begin(), faults::perCommand.end(), point.substr(0, colon)) !=
               faults::perCommand.end();
}

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

// --- faults ------------------------------------------------------------------------------------

void SessionState::setFaults(const std::vector<std::string>& faults)
{
    std::set<std::string> every;
    std::map<std::string, std::set<long>> nth;
    for (const std::string& fault : faults) {
        const std::size_t at = fault.find('@');
        const std::string point = fault.substr(0, at);
        if (!isFaultPoint(point)) {
            throw UsageError("unknown fault point '" + point + "' (see --list-faults)");
        }
        if (at == std::string::npos) {
            every.insert(point);
            continue;
        }
        const std::string count = fault.substr(at + 1);
        if (count.empty() || count.find_first_not_of("0123456789") != std::string::npos ||
            std::strtol(count.c_str(), nullptr, 10) < 1) {
            throw UsageError("'" + fault + "': N in WHAT@N must be a whole number from 1");
        }
        nth[point].insert(std::strtol(count.c_str(), nullptr, 10));
    }
    faults_ = std::move(every);
    nthFaults_ = std::move(nth);
    calls_.clear();
    fired_.clear();
}

bool SessionState::fault(const std::string& point)
{
    const long call = ++calls_[point];
    const auto nth = nthFaults_.find(point);
    if (!faults_.contains(point) && (nth == nthFaults_.end() || !nth->second.contains(call))) {
        return false;
    }
    fired_.insert(point);
    trace("op", "fault").add("what", point);
    return true;
}

bool SessionState::fault(const char* point, const std::string& commandId)
{
    return fault(faults::forCommand(point, commandId));
}

std::vector<std::string> SessionState::faultsNeverFired() const
{
    std::vector<std::string> never;
    for (const std::string& point : faults_) {
        if (!fired_.contains(point)) {
            never.push_back(point);
        }
    }
    for (const auto& [point, calls] : nthFaults_) {
        const auto made = calls_.find(point);
        for (const long call : calls) {
            if (made == calls_.end() || made->second < call) {
                never.push_back(point + "@" + std::to_string(call));
            }
        }
    }
    return never;
}

// --- what the session records ------------------------------------------------------------------

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

// --- host objects ------------------------------------------------------------------------------

int SessionState::outstandingReferences() const
{
    return std::accumulate(objects_.begin(), objects_.end(), 0,
                           [](int sum, const auto& object) { return sum + object->references(); });
}

std::vector<std::string> SessionState::heldObjects() const
{
    std::vector<std::string> held;
    for (const auto& object : objects_) {
        if (object->references() > 0) {
            held.push_back(object->label() + " x" + std::to_string(object->references()));
        }
    }
    return held;
}

void SessionState::compact()
{
    // An object and its parts go together, and only when nobody holds any of them.
    std::map<const Tracked*, bool> collectable;
    for (const auto& object : objects_) {
        if (object->owner() == nullptr && (object->deleted() || object->finished())) {
            collectable[object.get()] = object->references() == 0;
        }
    }
    for (const auto& object : objects_) {
        if (const auto it = collectable.find(object->owner()); it != collectable.end() && object->references() > 0) {
            it->second = false;
        }
    }
    const auto goes = [&](const std::unique_ptr<Tracked>& object) {
        const Tracked* root = object->owner() != nullptr ? object->owner() : object.get();
        const auto it = collectable.find(root);
        return it != collectable.end() && it->second;
    };
    // Parts first: their destructors may still look at their owner.
    std::erase_if(objects_, [&](const auto& object) { return object->owner() != nullptr && goes(object); });
    std::erase_if(objects_, goes);
    trace_.clear();
    journal_.clear();
}

// --- the add-in ----------------------------------------------------------------------------------

void SessionState::loadLibrary(const std::string& library)
{
    if (library_ || unloaded_) {
        throw UsageError("the add-in is already loaded");
    }
    library_ = std::make_unique<AddinLibrary>(library);
    // The path is absolute: its folder is all before the last separator.
    const std::string& loaded = library_->absolutePath();
    const std::size_t separator = loaded.find_last_of(pathSeparators);
    libraryFolder_ = separator == std::string::npos ? std::string() : loaded.substr(0, separator);
}

bool SessionState::unloadLibrary()
{
    const bool gone = library_->unload();
    library_.reset();
    unloaded_ = true;
    return gone;
}

bool SessionState::unloading() const { return library_ != nullptr && library_->unloading(); }

// --- events ------------------------------------------------------------------------------------

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
    std::erase(it->second, slot);
    if (it->second.empty()) {
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

} // namespace simhost
