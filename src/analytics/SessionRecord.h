#pragma once
// The reported form of a usage session and its events: plain values with
// times in milliseconds since 1970, as the report carries them.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qp {

using ParameterList = std::vector<std::pair<std::string, std::string>>;

// Whether the session reached the report address when it last tried.
enum class NetworkAccess : std::uint8_t { Unknown = 0, Reached = 1, NotReached = 2 };

struct EventRecord {
    std::int32_t logId = 0;
    std::string name;
    bool timed = false;
    std::int64_t startMilliseconds = 0;
    bool automaticallyEnded = false;
    std::optional<ParameterList> parameters;

    friend bool operator==(const EventRecord&, const EventRecord&) = default;
};

struct SessionRecord {
    std::string sessionId;
    std::string appVersion;
    std::int64_t startMilliseconds = 0;
    std::optional<std::int64_t> endMilliseconds;
    std::int64_t pausedMilliseconds = 0;
    bool crashed = false;
    bool eventLogComplete = true;
    bool eventLoggingEnabled = true;
    NetworkAccess networkAccess = NetworkAccess::Unknown;
    // Event name and how often it was logged, in name order.
    std::vector<std::pair<std::string, std::int32_t>> eventCounts;
    std::vector<EventRecord> events;

    friend bool operator==(const SessionRecord&, const SessionRecord&) = default;
};

}  // namespace qp
