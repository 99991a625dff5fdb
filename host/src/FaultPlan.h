// The faults a session injects: host operations made to answer none or refuse, every time or
// only at their Nth call ("WHAT@N"), by the fault points of sdk/abi/HostVtables.txt.
#pragma once

#include "Operation.h"
#include "Recorder.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace simhost {

class FaultPlan {
public:
    explicit FaultPlan(Recorder& recorder) : recorder_(recorder) {}

    // Every fault point, as --list-faults prints them: per-command ones for this project's
    // commands (any other command id is accepted as well).
    static std::vector<std::string> listed();

    // Replaces the faults and restarts the call counts; throws UsageError for an unknown point or
    // a count that is not a whole number from 1.
    void set(const std::vector<std::string>& faults);
    // Counts one call of the operation (of that command's object); true when this call is
    // refused, which is then traced ({"op":"fault","what":…}).
    bool fires(const Operation& operation, const std::string& commandId = {});
    // The faults asked for that have not taken effect so far.
    [[nodiscard]] std::vector<std::string> neverFired() const;

private:
    Recorder& recorder_;
    std::set<std::string> every_;               // refuse every call
    std::map<std::string, std::set<long>> nth_; // refuse only these calls, counted from 1
    std::map<std::string, long> calls_;
    std::set<std::string> fired_;
};

} // namespace simhost
