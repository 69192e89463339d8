#include <gtest/gtest.h>

#include <string>

#include "analytics/UsageSession.h"
#include "support/LogCapture.h"

using namespace qp;
using namespace std::chrono_literals;
using Outcome = UsageSession::EventOutcome;

namespace {

EventParameters parametersOfSize(int count) {
    EventParameters parameters;
    for (int i = 0; i < count; ++i) parameters["key" + std::to_string(i)] = "value";
    return parameters;
}

class UsageSessionTest : public ::testing::Test {
protected:
    Outcome log(const std::string& name, std::optional<EventParameters> parameters = std::nullopt) {
        return m_session.logEvent(name, parameters, m_now, m_counters);
    }

    Clock::WallTime m_now{std::chrono::milliseconds(1356998400000)};
    EventLogCounters m_counters;
    UsageSession m_session{"id", "1.0", m_now};
};

}  // namespace

TEST_F(UsageSessionTest, TenParametersAreRecordedElevenAreRefused) {
    LogCapture log;
    EXPECT_EQ(this->log("ten", parametersOfSize(10)), Outcome::Logged);
    EXPECT_TRUE(m_session.isEventLogComplete());

    EXPECT_EQ(this->log("eleven", parametersOfSize(11)), Outcome::Refused);
    EXPECT_FALSE(m_session.isEventLogComplete());
    EXPECT_EQ(m_session.eventCounts().count("eleven"), 0u);
    EXPECT_EQ(m_session.events().size(), 1u);
    EXPECT_EQ(log.count("UsageAnalytics: Event count for eventName[ten] updated to count[1]"), 1);
    EXPECT_EQ(log.count("UsageAnalytics: Event log for eventName[ten] updated"), 1);
    EXPECT_TRUE(
        log.contains("UsageAnalytics: Event eventName[eleven] with parameters[{key0 = value; key1 "
                     "= value; key10 = value; "
                     "key2 = value; key3 = value; key4 = value; key5 = value; key6 = value; key7 = "
                     "value; key8 = value; "
                     "key9 = value}] not recorded"));
}

TEST_F(UsageSessionTest, AnEmptyNameIsRefused) {
    EXPECT_EQ(log(""), Outcome::Refused);
    EXPECT_EQ(log("", EventParameters{}), Outcome::Refused);
    EXPECT_FALSE(m_session.isEventLogComplete());
    EXPECT_TRUE(m_session.eventCounts().empty());
}

TEST_F(UsageSessionTest, The101stNameIsNeitherCountedNorLogged) {
    for (int i = 0; i < 100; ++i) ASSERT_EQ(log("name " + std::to_string(i)), Outcome::Logged);
    EXPECT_TRUE(m_session.isEventLogComplete());

    EXPECT_EQ(log("name 100"), Outcome::NotCounted);
    EXPECT_FALSE(m_session.isEventLogComplete());
    EXPECT_EQ(m_session.eventCounts().size(), 100u);
    EXPECT_EQ(m_session.events().size(), 100u);

    // The first hundred names still count and log.
    EXPECT_EQ(log("name 0"), Outcome::Logged);
    EXPECT_EQ(log("name 99"), Outcome::Logged);
    EXPECT_EQ(m_session.eventCounts().at("name 0"), 2);
    EXPECT_EQ(m_session.events().size(), 102u);
}

TEST_F(UsageSessionTest, The1001stEventIsCountedButNotLogged) {
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(log("tap"), Outcome::Logged);
    EXPECT_TRUE(m_session.isEventLogComplete());
    EXPECT_EQ(log("tap"), Outcome::CountedOnly);
    EXPECT_EQ(m_session.eventCounts().at("tap"), 1001);
    EXPECT_EQ(m_session.events().size(), 1000u);
    EXPECT_FALSE(m_session.isEventLogComplete());
}

TEST_F(UsageSessionTest, WithLoggingOffEventsAreOnlyCounted) {
    m_session.setEventLoggingEnabled(false);
    EXPECT_EQ(log("tap"), Outcome::CountedOnly);
    EXPECT_EQ(m_session.eventCounts().at("tap"), 1);
    EXPECT_TRUE(m_session.events().empty());
}

TEST_F(UsageSessionTest, EventsCarryTheirTimeParametersAndLogIdentifiers) {
    log("a");
    m_now += 1500ms;
    log("b", EventParameters{{"k", "v"}});
    m_counters.next(1);  // another kind does not disturb the events' numbering
    log("c");
    const auto& events = m_session.events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].logId, 1);
    EXPECT_EQ(events[1].logId, 2);
    EXPECT_EQ(events[2].logId, 3);
    EXPECT_FALSE(events[0].parameters.has_value());
    EXPECT_EQ(events[1].parameters, (EventParameters{{"k", "v"}}));
    EXPECT_EQ(events[1].startTime - events[0].startTime, 1500ms);
    EXPECT_FALSE(events[1].timed);
}

TEST_F(UsageSessionTest, PausesAddUpAndResumingReopensTheSession) {
    const Clock::Monotonic t0{};
    m_session.pause(m_now + 5s, t0 + 5s);
    EXPECT_TRUE(m_session.isPaused());
    EXPECT_EQ(m_session.endTime(), m_now + 5s);

    m_session.resume(t0 + 8s);
    m_session.pause(m_now + 10s, t0 + 10s);
    m_session.resume(t0 + 10500ms);
    EXPECT_FALSE(m_session.isPaused());
    EXPECT_EQ(m_session.pausedMilliseconds(), 3500);
    EXPECT_FALSE(m_session.endTime().has_value());

    const SessionRecord record = m_session.record();
    EXPECT_EQ(record.pausedMilliseconds, 3500);
    EXPECT_FALSE(record.endMilliseconds.has_value());
}
