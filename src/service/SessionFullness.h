#pragma once
// Which of two copies of one session holds more: the service keeps one record
// per session id and replaces it only by a fuller copy, so the same report
// arriving again, or an older copy arriving late, changes nothing.

#include <cstdint>
#include <optional>

#include "analytics/SessionRecord.h"

namespace qp {

struct SessionFullness {
    std::int64_t loggedEvents = 0;                // records in the event log (at most 1000)
    std::int64_t countedEvents = 0;               // sum of the count table (goes on past the log)
    std::optional<std::int64_t> endMilliseconds;  // none: still running when sent

    friend bool operator==(const SessionFullness&, const SessionFullness&) = default;
};

SessionFullness fullnessOf(const SessionRecord& record);

// True when `candidate` holds strictly more than `stored`: more logged
// events, else more counted events, else a later end (an end beats none).
// Equal copies are not fuller, so a repeat is never stored twice.
bool isFuller(const SessionFullness& candidate, const SessionFullness& stored);

}  // namespace qp
