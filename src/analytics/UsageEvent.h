#pragma once
// One recorded usage event: a name with optional string parameters, the time
// it was logged and its place in the client's event log numbering.

#include <cstdint>
#include <optional>
#include <string>

#include "analytics/AnalyticsRecorder.h"
#include "platform/Clock.h"

namespace qp {

struct UsageEvent {
    std::string name;
    bool timed = false;
    std::optional<EventParameters> parameters;
    Clock::WallTime startTime;
    bool automaticallyEnded = false;
    std::int32_t logId = 0;
};

}  // namespace qp

namespace qp {

// The parameters as the debug log shows them: "(null)" when absent, else
// "{key = value; key = value}".
std::string describeParameters(const std::optional<EventParameters>& parameters);

}  // namespace qp
