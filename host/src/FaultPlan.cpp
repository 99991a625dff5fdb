#include "FaultPlan.h"

#include "HostOperations.h"

#include <simhost/Types.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace simhost {

namespace {

// The commands --list-faults names the per-command points for: those of this project's add-in.
// The fault sweep checks that this list is what the add-in defines.
constexpr std::array listedCommandIds = {"runTeachPalette", "openEshop"};

// A name --fail accepts: a point, or a per-command point with any command id.
bool isFaultPoint(const std::string& point)
{
    const std::size_t colon = point.find(':');
    const bool perCommand = colon != std::string::npos;
    const std::string name = point.substr(0, colon);
    return (!perCommand || colon + 1 < point.size()) &&
           std::any_of(std::begin(operations::faultPoints), std::end(operations::faultPoints),
                       [&](const Operation* operation) {
                           return operation->perCommand == perCommand && operation->point() == name;
                       });
}

} // namespace

std::vector<std::string> FaultPlan::listed()
{
    std::vector<std::string> all;
    for (const bool perCommand : {false, true}) {
        for (const Operation* operation : operations::faultPoints) {
            if (operation->perCommand != perCommand) {
                continue;
            }
            if (!perCommand) {
                all.push_back(operation->point());
                continue;
            }
            for (const char* id : listedCommandIds) {
                all.push_back(operation->point() + ":" + id);
            }
        }
    }
    return all;
}

void FaultPlan::set(const std::vector<std::string>& faults)
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
    every_ = std::move(every);
    nth_ = std::move(nth);
    calls_.clear();
    fired_.clear();
}

bool FaultPlan::fires(const Operation& operation, const std::string& commandId)
{
    const std::string point = operation.perCommand ? operation.point() + ":" + commandId : operation.point();
    const long call = ++calls_[point];
    const auto nth = nth_.find(point);
    if (!every_.contains(point) && (nth == nth_.end() || !nth->second.contains(call))) {
        return false;
    }
    fired_.insert(point);
    recorder_.trace("op", "fault").add("what", point);
    return true;
}

std::vector<std::string> FaultPlan::neverFired() const
{
    std::vector<std::string> never;
    for (const std::string& point : every_) {
        if (!fired_.contains(point)) {
            never.push_back(point);
        }
    }
    for (const auto& [point, calls] : nth_) {
        const auto made = calls_.find(point);
        for (const long call : calls) {
            if (made == calls_.end() || made->second < call) {
                never.push_back(point + "@" + std::to_string(call));
            }
        }
    }
    return never;
}

} // namespace simhost
