#pragma once
// One usage session: how often each event name was logged, the ordered event
// log with its limits, and the session's start, pauses and end. Lives on the
// main thread; only the network-access mark may be set from a send thread.

#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analytics/EventLogCounters.h"
#include "analytics/SessionRecord.h"
#include "analytics/UsageEvent.h"
#include "platform/Clock.h"

namespace qp {

class UsageSession {
public:
    enum class EventOutcome {
        Refused,      // no name, or too many parameters
        NotCounted,   // a new name beyond the first 100
        CountedOnly,  // counted, but the log is full or logging is off
        Logged,       // counted and appended to the event log
    };

    UsageSession(std::string sessionId, std::string appVersion, Clock::WallTime start);

    void setEventLoggingEnabled(bool enabled) { m_eventLoggingEnabled = enabled; }
    bool isEventLoggingEnabled() const { return m_eventLoggingEnabled; }

    // Applies the recorder's limits; log identifiers come from `counters`.
    EventOutcome logEvent(const std::string& name, const std::optional<EventParameters>& parameters,
                          Clock::WallTime now, EventLogCounters& counters);

    // Pausing ends the session for now (end time set, open timed events ended);
    // resuming adds the pause to the paused total and opens it again.
    void pause(Clock::WallTime wallNow, Clock::Monotonic monotonicNow);
    void resume(Clock::Monotonic monotonicNow);
    void end(Clock::WallTime now);
    void setCrashed(bool crashed) { m_crashed = crashed; }

    void setNetworkAccess(NetworkAccess access) { m_networkAccess.store(access); }
    NetworkAccess networkAccess() const { return m_networkAccess.load(); }

    const std::string& sessionId() const { return m_sessionId; }
    const std::map<std::string, int>& eventCounts() const { return m_eventCounts; }
    const std::vector<UsageEvent>& events() const { return m_events; }
    bool isEventLogComplete() const { return m_eventLogComplete; }
    bool isPaused() const { return m_pausedAt.has_value(); }
    std::int64_t pausedMilliseconds() const { return m_pausedMilliseconds; }
    const std::optional<Clock::WallTime>& endTime() const { return m_end; }

    SessionRecord record() const;

    // A fresh random identifier of 32 hex digits.
    static std::string makeSessionId();

private:
    void endOpenTimedEvents();

    std::string m_sessionId;
    std::string m_appVersion;
    Clock::WallTime m_start;
    std::optional<Clock::WallTime> m_end;
    std::optional<Clock::Monotonic> m_pausedAt;
    std::int64_t m_pausedMilliseconds = 0;
    bool m_eventLoggingEnabled = true;
    bool m_eventLogComplete = true;
    bool m_crashed = false;
    std::atomic<NetworkAccess> m_networkAccess{NetworkAccess::Unknown};
    std::map<std::string, int> m_eventCounts;
    std::vector<UsageEvent> m_events;
};

}  // namespace qp
