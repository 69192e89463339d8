#include <gtest/gtest.h>

#include <fstream>

#include "NullHttpClient.h"
#include "SampleRecords.h"
#include "analytics/KeyHash.h"
#include "analytics/ReportCodec.h"
#include "analytics/UsageAnalytics.h"
#include "analytics/UsageFileCache.h"
#include "analytics/UsageSession.h"
#include "support/LogCapture.h"
#include "support/ManualClock.h"
#include "support/TempFolder.h"

using namespace qp;
using namespace std::chrono_literals;

namespace {

constexpr const char* kKey = "ABCDE FGHIJ 01234 56789";
constexpr const char* kKeyWithoutSpaces = "ABCDEFGHIJ0123456789";

// A client that keeps everything on the device (no report address).
class UsageAnalyticsTest : public ::testing::Test {
protected:
    std::unique_ptr<UsageAnalytics> makeClient() {
        return std::make_unique<UsageAnalytics>(m_clock, m_notifications, m_http, m_temp.path(),
                                                "1.2", "");
    }

    void goAwayFor(std::chrono::milliseconds away) {
        m_notifications.post(kApplicationWillResignActiveNotification);
        m_clock.advance(away);
        m_notifications.post(kApplicationDidBecomeActiveNotification);
    }

    TempFolder m_temp;
    ManualClock m_clock;
    NotificationCenter m_notifications;
    std::shared_ptr<NullHttpClient> m_http = std::make_shared<NullHttpClient>();
    std::unique_ptr<UsageAnalytics> m_client = makeClient();
};

}  // namespace

TEST_F(UsageAnalyticsTest, ASecondStartOnlyLogsAndAlerts) {
    std::vector<std::pair<std::string, std::string>> alerts;
    m_client->setSecondStartAlert([&](const std::string& message, const std::string& cancel) {
        alerts.emplace_back(message, cancel);
    });
    LogCapture log;
    m_client->startSession(kKey);
    EXPECT_TRUE(log.contains("UsageAnalytics: startSession called for the first time"));
    EXPECT_EQ(m_client->apiKey(), kKeyWithoutSpaces);
    m_client->logEvent("tap");
    const auto session = m_client->currentSession();
    const std::size_t observers = m_notifications.observerCount();

    log.clear();
    m_client->startSession("OTHERKEY000000000000");
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"UsageAnalytics: startSession called already. Returning."});
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].first,
              "startSession has been called already. It should only be called once.");
    EXPECT_EQ(alerts[0].second, "Cancel");
    EXPECT_EQ(m_client->apiKey(), kKeyWithoutSpaces);
    EXPECT_EQ(m_client->currentSession(), session);
    EXPECT_EQ(session->eventCounts().at("tap"), 1);
    EXPECT_EQ(m_notifications.observerCount(), observers);
}

TEST_F(UsageAnalyticsTest, NamesItsFilesAfterTheKeyWithoutSpaces) {
    m_client->startSession(kKey);
    ASSERT_NE(m_client->files(), nullptr);
    EXPECT_EQ(m_client->files()->folder(), m_temp.path() / "UsageFiles");
    EXPECT_TRUE(std::filesystem::exists(m_client->files()->initialTimestampFile()));
    UsageFileCache same(m_temp.path() / "UsageFiles", usageKeyHash(kKeyWithoutSpaces),
                        kAgentVersion);
    EXPECT_EQ(m_client->files()->currentSessionFile(), same.currentSessionFile());
}

TEST_F(UsageAnalyticsTest, EventsWriteTheirDebugLines) {
    m_client->startSession(kKey);
    LogCapture log;
    m_client->logEventWithParameters("1-Device:", {{"Device Type", "x86_64"}});
    EXPECT_EQ(
        log.lines(),
        (std::vector<std::string>{
            "UsageAnalytics: Recording event eventName[1-Device:] with parameters[{Device Type = "
            "x86_64}]",
            "UsageAnalytics: Event count for eventName[1-Device:] updated to count[1]",
            "UsageAnalytics: Event log for eventName[1-Device:] updated",
            "UsageAnalytics: Recording event eventName[1-Device:] with parameters[{Device Type = "
            "x86_64}] complete",
        }));
    log.clear();
    m_client->logEvent("");
    EXPECT_TRUE(
        log.contains("UsageAnalytics: Event eventName[] with parameters[(null)] not recorded"));
}

TEST_F(UsageAnalyticsTest, EightSecondsAwayContinuesTheSessionTwelveStartANewOne) {
    m_client->startSession(kKey);
    m_client->logEvent("before");
    const auto first = m_client->currentSession();

    goAwayFor(8s);
    EXPECT_EQ(m_client->currentSession(), first);
    EXPECT_FALSE(first->isPaused());
    EXPECT_EQ(first->pausedMilliseconds(), 8000);
    EXPECT_EQ(m_client->savedSessionCount(), 0u);
    m_client->logEvent("after 8 s");
    EXPECT_EQ(first->events().back().logId, 2);

    goAwayFor(12s);
    const auto second = m_client->currentSession();
    EXPECT_NE(second, first);
    EXPECT_NE(second->sessionId(), first->sessionId());
    EXPECT_EQ(m_client->savedSessionCount(), 1u);
    EXPECT_TRUE(second->eventCounts().empty());
    m_client->logEvent("after 12 s");
    EXPECT_EQ(second->events().back().logId, 1) << "a new session numbers its events afresh";
    EXPECT_FALSE(m_client->files()->hasCurrentSession()) << "the old session's paused copy is gone";
}

TEST_F(UsageAnalyticsTest, TheContinueIntervalItselfStillContinues) {
    m_client->startSession(kKey);
    const auto first = m_client->currentSession();
    goAwayFor(10s);
    EXPECT_EQ(m_client->currentSession(), first);
    goAwayFor(10001ms);
    EXPECT_NE(m_client->currentSession(), first);
}

TEST_F(UsageAnalyticsTest, ActivationWithoutAPauseChangesNothing) {
    m_client->startSession(kKey);
    const auto first = m_client->currentSession();
    m_clock.advance(60s);
    m_notifications.post(kApplicationDidBecomeActiveNotification);
    EXPECT_EQ(m_client->currentSession(), first);
    EXPECT_EQ(first->pausedMilliseconds(), 0);
}

TEST_F(UsageAnalyticsTest, PauseWritesTheCurrentSession) {
    m_client->startSession(kKey);
    m_client->logEvent("tap");
    m_notifications.post(kApplicationWillResignActiveNotification);
    const std::optional<SessionRecord> written = m_client->files()->readCurrentSession();
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->sessionId, m_client->currentSession()->sessionId());
    EXPECT_EQ(written->appVersion, "1.2");
    EXPECT_TRUE(written->endMilliseconds.has_value());
    ASSERT_EQ(written->events.size(), 1u);
    EXPECT_EQ(written->events[0].name, "tap");
}

TEST_F(UsageAnalyticsTest, ASessionLeftByACrashIsSavedAsCrashedAtStart) {
    m_client->startSession(kKey);
    m_client->logEvent("tap");
    m_notifications.post(kApplicationWillResignActiveNotification);
    const std::string crashedId = m_client->currentSession()->sessionId();
    // The process dies: no terminate notification, the paused copy stays.
    m_client.reset();

    m_client = makeClient();
    m_client->startSession(kKey);
    EXPECT_EQ(m_client->savedSessionCount(), 1u);
    const std::vector<std::string> saved = m_client->files()->readStoredSessions();
    ASSERT_EQ(saved.size(), 1u);
    const Result<SessionRecord> record = decodeSessionRecord(saved[0]);
    ASSERT_TRUE(record.ok());
    EXPECT_EQ(record->sessionId, crashedId);
    EXPECT_TRUE(record->crashed);
    EXPECT_EQ(record->eventCounts.size(), 1u);
    EXPECT_FALSE(m_client->files()->hasCurrentSession()) << "recovered once, not at every start";

    m_client.reset();
    m_client = makeClient();
    m_client->startSession(kKey);
    EXPECT_EQ(m_client->savedSessionCount(), 1u);
}

TEST_F(UsageAnalyticsTest, ADamagedCurrentSessionIsSetAsideAtStart) {
    m_client->startSession(kKey);
    const std::filesystem::path current = m_client->files()->currentSessionFile();
    m_client.reset();
    std::ofstream(current, std::ios::binary) << "bplist00 truncated";

    LogCapture log;
    m_client = makeClient();
    m_client->startSession(kKey);
    EXPECT_EQ(m_client->savedSessionCount(), 0u);
    EXPECT_FALSE(std::filesystem::exists(current));
    bool setAside = false;
    for (const auto& entry : std::filesystem::directory_iterator(current.parent_path())) {
        setAside = setAside ||
                   entry.path().filename().string().starts_with(current.filename().string() + ".");
    }
    EXPECT_TRUE(setAside);
}

TEST_F(UsageAnalyticsTest, TerminateSavesTheSessionAndLaterEventsAreIgnored) {
    m_client->startSession(kKey);
    m_client->logEvent("tap");
    m_notifications.post(kApplicationWillResignActiveNotification);
    m_notifications.post(kApplicationWillTerminateNotification);
    EXPECT_EQ(m_client->savedSessionCount(), 1u);
    EXPECT_FALSE(m_client->files()->hasCurrentSession()) << "a clean end is not a crash";
    m_client->logEvent("late");
    EXPECT_EQ(m_client->currentSession()->eventCounts().count("late"), 0u);

    m_client.reset();
    m_client = makeClient();
    m_client->startSession(kKey);
    const Result<SessionRecord> kept =
        decodeSessionRecord(m_client->files()->readStoredSessions().at(0));
    ASSERT_TRUE(kept.ok());
    EXPECT_FALSE(kept->crashed);
    EXPECT_TRUE(kept->endMilliseconds.has_value());
}

TEST_F(UsageAnalyticsTest, WithoutAnAddressNothingIsSentAndSessionsStayBounded) {
    m_client->startSession(kKey);
    for (int i = 0; i < 55; ++i) goAwayFor(11s);
    m_client->waitForSends();
    EXPECT_EQ(m_http->sends(), 0);
    EXPECT_FALSE(m_client->holdsBackgroundTime());
    EXPECT_EQ(m_client->savedSessionCount(), 50u);
}

TEST_F(UsageAnalyticsTest, EventsBeforeStartAreNotRecorded) {
    LogCapture log;
    m_client->logEvent("early");
    EXPECT_EQ(m_client->currentSession(), nullptr);
    EXPECT_TRUE(log.contains(
        "UsageAnalytics: Event eventName[early] with parameters[(null)] not recorded"));
}
