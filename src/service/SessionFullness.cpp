#include "service/SessionFullness.h"

#include <tuple>

namespace qp {

SessionFullness fullnessOf(const SessionRecord& record) {
    SessionFullness fullness;
    fullness.loggedEvents = static_cast<std::int64_t>(record.events.size());
    for (const auto& [name, count] : record.eventCounts) {
        if (count > 0) fullness.countedEvents += count;
    }
    fullness.endMilliseconds = record.endMilliseconds;
    return fullness;
}

bool isFuller(const SessionFullness& candidate, const SessionFullness& stored) {
    // std::optional orders "none" before any value: an ended copy is fuller.
    return std::tie(candidate.loggedEvents, candidate.countedEvents, candidate.endMilliseconds) >
           std::tie(stored.loggedEvents, stored.countedEvents, stored.endMilliseconds);
}

}  // namespace qp
