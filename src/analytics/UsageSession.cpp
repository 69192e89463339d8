#include "analytics/UsageSession.h"

#include <algorithm>
#include <random>

#include <fmt/format.h>

#include "analytics/ReportCodec.h"
#include "analytics/ReportWriter.h"
#include "platform/Log.h"

namespace qp {

std::string describeParameters(const std::optional<EventParameters>& parameters) {
    if (!parameters) return "(null)";
    std::string out = "{";
    for (const auto& [key, value] : *parameters) {
        if (out.size() > 1) out += "; ";
        out += key + " = " + value;
    }
    return out + "}";
}

UsageSession::UsageSession(std::string sessionId, std::string appVersion, Clock::WallTime start)
    : m_sessionId(std::move(sessionId)), m_appVersion(std::move(appVersion)), m_start(start) {}

UsageSession::EventOutcome UsageSession::logEvent(const std::string& name,
                                                  const std::optional<EventParameters>& parameters,
                                                  Clock::WallTime now, EventLogCounters& counters) {
    if (name.empty() || (parameters && parameters->size() > kMaxEventParameters)) {
        m_eventLogComplete = false;
        logf("UsageAnalytics: Event eventName[{}] with parameters[{}] not recorded", name,
             describeParameters(parameters));
        return EventOutcome::Refused;
    }

    const auto found = m_eventCounts.find(name);
    if (found == m_eventCounts.end() && m_eventCounts.size() >= kMaxCountedEventNames) {
        m_eventLogComplete = false;
        return EventOutcome::NotCounted;
    }
    const int count = ++m_eventCounts[name];
    logf("UsageAnalytics: Event count for eventName[{}] updated to count[{}]", name, count);

    if (m_events.size() >= kMaxLoggedEvents || !m_eventLoggingEnabled) {
        m_eventLogComplete = false;
        return EventOutcome::CountedOnly;
    }
    UsageEvent event;
    event.name = name;
    event.parameters = parameters;
    event.startTime = now;
    event.logId = counters.next(kEventLogKindEvent);
    m_events.push_back(std::move(event));
    logf("UsageAnalytics: Event log for eventName[{}] updated", name);
    return EventOutcome::Logged;
}

void UsageSession::pause(Clock::WallTime wallNow, Clock::Monotonic monotonicNow) {
    m_pausedAt = monotonicNow;
    end(wallNow);
}

void UsageSession::resume(Clock::Monotonic monotonicNow) {
    if (m_pausedAt) {
        const auto pause =
            std::chrono::duration_cast<std::chrono::milliseconds>(monotonicNow - *m_pausedAt);
        m_pausedMilliseconds += std::max<std::int64_t>(0, pause.count());
    }
    m_pausedAt.reset();
    // The session is open again; an end time from the pause would misstate its length.
    m_end.reset();
}

void UsageSession::end(Clock::WallTime now) {
    m_end = now;
    endOpenTimedEvents();
}

void UsageSession::endOpenTimedEvents() {
    for (UsageEvent& event : m_events) {
        if (event.timed && !event.automaticallyEnded) event.automaticallyEnded = true;
    }
}

SessionRecord UsageSession::record() const {
    SessionRecord record;
    record.sessionId = m_sessionId;
    record.appVersion = m_appVersion;
    record.startMilliseconds = timestampMilliseconds(m_start);
    if (m_end) record.endMilliseconds = timestampMilliseconds(*m_end);
    record.pausedMilliseconds = m_pausedMilliseconds;
    record.crashed = m_crashed;
    record.eventLogComplete = m_eventLogComplete;
    record.eventLoggingEnabled = m_eventLoggingEnabled;
    record.networkAccess = m_networkAccess.load();
    for (const auto& [name, count] : m_eventCounts) record.eventCounts.emplace_back(name, count);
    record.events.reserve(m_events.size());
    for (const UsageEvent& event : m_events) {
        EventRecord out;
        out.logId = event.logId;
        out.name = event.name;
        out.timed = event.timed;
        out.startMilliseconds = timestampMilliseconds(event.startTime);
        out.automaticallyEnded = event.automaticallyEnded;
        if (event.parameters)
            out.parameters = ParameterList(event.parameters->begin(), event.parameters->end());
        record.events.push_back(std::move(out));
    }
    return record;
}

std::string UsageSession::makeSessionId() {
    std::random_device device;
    std::mt19937_64 generator((static_cast<std::uint64_t>(device()) << 32) ^ device());
    return fmt::format("{:016x}{:016x}", generator(), generator());
}

}  // namespace qp
