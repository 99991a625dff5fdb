#include "FaultPoints.h"

#include "HostSession.h"

namespace simhost {

const std::vector<std::string>& HostSession::faultPoints()
{
    static const std::vector<std::string> points = [] {
        std::vector<std::string> all(faults::plain.begin(), faults::plain.end());
        for (const char* point : faults::perCommand) {
            for (const char* id : faults::listedCommandIds) {
                all.push_back(faults::forCommand(point, id));
            }
        }
        return all;
    }();
    return points;
}

} // namespace simhost
