// The usage-reports switch: off, the client records and sends nothing and
// deletes the sessions kept on the device; on again, it starts afresh.

#include <gtest/gtest.h>

#include <fstream>

#include "NullHttpClient.h"
#include "analytics/UsageAnalytics.h"
#include "analytics/UsageSession.h"
#include "support/LogCapture.h"
#include "support/ManualClock.h"
#include "support/TempFolder.h"

using namespace qp;

namespace {

constexpr const char* kKey = "ABCDEFGHIJ0123456789";

class UsageReportsSwitch : public ::testing::Test {
protected:
    // One app run from start to quit, with the switch as given.
    std::unique_ptr<UsageAnalytics> makeClient(bool reportsOn, const std::string& reportUrl = "") {
        UsageAnalyticsSettings settings;
        settings.usageReportsEnabled = reportsOn;
        return std::make_unique<UsageAnalytics>(m_clock, m_notifications, m_http, m_temp.path(),
                                                "1.2", reportUrl, settings);
    }
    void runOnce(bool reportsOn, const std::string& reportUrl = "") {
        auto client = makeClient(reportsOn, reportUrl);
        client->startSession(kKey);
        client->logEvent("tap");
        m_notifications.post(kApplicationWillResignActiveNotification);
        m_notifications.post(kApplicationWillTerminateNotification);
    }
    std::filesystem::path usageFiles() const { return m_temp.path() / "UsageFiles"; }

    TempFolder m_temp;
    ManualClock m_clock;
    NotificationCenter m_notifications;
    std::shared_ptr<NullHttpClient> m_http = std::make_shared<NullHttpClient>();
};

}  // namespace

TEST_F(UsageReportsSwitch, OffDeletesTheKeptSessionsAndRecordsNothing) {
    runOnce(true);
    ASSERT_FALSE(std::filesystem::is_empty(usageFiles()));
    // A file set aside as damaged is a kept session too.
    std::ofstream(usageFiles() / "usageStored1_qp1.0.archive.corrupt-1") << "x";

    LogCapture log;
    auto client = makeClient(false, "http://127.0.0.1:9/report");
    client->startSession(kKey);
    EXPECT_FALSE(std::filesystem::exists(usageFiles()));
    EXPECT_TRUE(
        log.contains("UsageAnalytics: Usage reports are off; no session is recorded and "
                     "those kept on this device are deleted."));
    EXPECT_EQ(client->currentSession(), nullptr);
    EXPECT_EQ(client->savedSessionCount(), 0u);
    EXPECT_EQ(client->delivery(), nullptr);

    client->logEvent("tap");
    client->logEventWithParameters("Theme Used", {{"theme", "Classic"}});
    m_notifications.post(kApplicationWillResignActiveNotification);
    m_notifications.post(kApplicationDidBecomeActiveNotification);
    m_notifications.post(kApplicationWillTerminateNotification);
    client.reset();
    EXPECT_FALSE(std::filesystem::exists(usageFiles()));
    EXPECT_EQ(m_http->sends(), 0);
}

TEST_F(UsageReportsSwitch, OnAgainStartsAFreshSession) {
    runOnce(true);
    runOnce(false);
    auto client = makeClient(true);
    client->startSession(kKey);
    ASSERT_NE(client->currentSession(), nullptr);
    EXPECT_EQ(client->savedSessionCount(), 0u);  // nothing of before the switch came back
    client->logEvent("tap");
    EXPECT_EQ(client->currentSession()->eventCounts().at("tap"), 1);
    EXPECT_TRUE(std::filesystem::exists(usageFiles()));
}

TEST_F(UsageReportsSwitch, ASecondStartStillOnlyLogsWhenOff) {
    auto client = makeClient(false);
    client->startSession(kKey);
    int alerts = 0;
    client->setSecondStartAlert([&](const std::string&, const std::string&) { ++alerts; });
    LogCapture log;
    client->startSession(kKey);
    EXPECT_EQ(alerts, 1);
    EXPECT_TRUE(log.contains("UsageAnalytics: startSession called already. Returning."));
}
