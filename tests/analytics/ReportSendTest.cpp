#include <gtest/gtest.h>

#include "ReportServer.h"
#include "SampleRecords.h"
#include "analytics/ReportCodec.h"
#include "analytics/ReportSender.h"
#include "analytics/SavedSessions.h"
#include "analytics/UsageAnalytics.h"
#include "analytics/UsageFileCache.h"
#include "analytics/UsageSession.h"
#include "platform/curl/CurlHttpClient.h"
#include "support/LogCapture.h"
#include "support/ManualClock.h"
#include "support/ManualMainQueue.h"
#include "support/TempFolder.h"

using namespace qp;
using namespace std::chrono_literals;

namespace {

constexpr const char* kKey = "ABCDEFGHIJ0123456789";

class ReportSendTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.start()); }

    std::unique_ptr<UsageAnalytics> makeClient(const std::string& url) {
        return std::make_unique<UsageAnalytics>(m_clock, m_notifications, m_http, m_temp.path(),
                                                "1.2", url);
    }

    void goAwayFor(std::chrono::milliseconds away) {
        m_notifications.post(kApplicationWillResignActiveNotification);
        m_clock.advance(away);
        m_notifications.post(kApplicationDidBecomeActiveNotification);
    }

    DecodedReport decodeReceived(std::size_t index) {
        const auto received = m_server.received();
        EXPECT_GT(received.size(), index);
        if (received.size() <= index) return {};
        EXPECT_EQ(received[index].method, "POST");
        EXPECT_EQ(received[index].contentType, "application/octet-stream");
        Result<DecodedReport> report = decodeReport(received[index].body);
        EXPECT_TRUE(report.ok()) << report.error().toString();
        return report.ok() ? std::move(report).value() : DecodedReport{};
    }

    TempFolder m_temp;
    ManualClock m_clock;
    NotificationCenter m_notifications;
    ManualMainQueue m_queue;
    std::shared_ptr<CurlHttpClient> m_http = std::make_shared<CurlHttpClient>(m_queue);
    ReportServer m_server;
};

}  // namespace

TEST_F(ReportSendTest, SendsSavedSessionsAndThenTheCurrentOneOnPause) {
    LogCapture log;
    auto client = makeClient(m_server.url());
    client->startSession(kKey);
    client->waitForSends();
    EXPECT_TRUE(m_server.received().empty()) << "nothing saved yet, nothing to send";

    client->logEvent("first session");
    const std::string firstId = client->currentSession()->sessionId();
    // The pause sends the first session; the return saves it and sends it again.
    // Waiting between them keeps the two reports apart, one state in each.
    m_notifications.post(kApplicationWillResignActiveNotification);
    client->waitForSends();
    m_clock.advance(12s);
    m_notifications.post(kApplicationDidBecomeActiveNotification);
    client->waitForSends();
    ASSERT_TRUE(m_server.waitForReports(2));
    const DecodedReport onPause = decodeReceived(0);
    ASSERT_EQ(onPause.sessions.size(), 1u);
    EXPECT_EQ(onPause.sessions[0].sessionId, firstId);
    EXPECT_EQ(onPause.head.apiKey, kKey);
    EXPECT_EQ(onPause.head.agentVersion, kAgentVersion);
    EXPECT_GT(onPause.head.firstUseMilliseconds, 0);
    const DecodedReport onReturn = decodeReceived(1);
    ASSERT_EQ(onReturn.sessions.size(), 1u);
    EXPECT_EQ(onReturn.sessions[0].sessionId, firstId);
    EXPECT_EQ(client->savedSessionCount(), 0u);
    EXPECT_EQ(log.count("UsageAnalytics: Sent 1 session(s)."), 2);

    client->logEvent("second session");
    m_notifications.post(kApplicationWillResignActiveNotification);
    client->waitForSends();
    const DecodedReport second = decodeReceived(2);
    ASSERT_EQ(second.sessions.size(), 1u);
    EXPECT_EQ(second.sessions[0].sessionId, client->currentSession()->sessionId());
    EXPECT_EQ(second.sessions[0].events.at(0).name, "second session");
    EXPECT_EQ(client->currentSession()->networkAccess(), NetworkAccess::Reached);
    EXPECT_EQ(client->files()->readSentSession()->sessionId, client->currentSession()->sessionId());
    EXPECT_FALSE(client->holdsBackgroundTime());
}

TEST_F(ReportSendTest, AFailingServerKeepsTheSessionsForTheNextSend) {
    m_server.setStatus(500);
    LogCapture log;
    auto client = makeClient(m_server.url());
    client->startSession(kKey);
    goAwayFor(12s);
    goAwayFor(12s);
    client->waitForSends();
    EXPECT_EQ(client->savedSessionCount(), 2u);
    EXPECT_GE(log.count("UsageAnalytics: Could not connect to server."), 1);
    EXPECT_EQ(log.count("UsageAnalytics: Sent 1 session(s)."), 0);

    m_server.setStatus(200);
    m_notifications.post(kApplicationWillTerminateNotification);
    client->waitForSends();
    const auto received = m_server.received();
    const DecodedReport last = decodeReceived(received.size() - 1);
    EXPECT_EQ(last.sessions.size(), 3u) << "two kept sessions and the one that ended";
    EXPECT_EQ(client->savedSessionCount(), 0u);
    EXPECT_TRUE(log.contains("UsageAnalytics: Sent 3 session(s)."));
}

TEST_F(ReportSendTest, AnUnreachableAddressMarksTheSessionAndKeepsIt) {
    LogCapture log;
    auto client =
        makeClient("http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/report");
    client->startSession(kKey);
    m_notifications.post(kApplicationWillResignActiveNotification);
    client->waitForSends();
    EXPECT_EQ(client->currentSession()->networkAccess(), NetworkAccess::NotReached);
    EXPECT_TRUE(log.contains("UsageAnalytics: Could not connect to server."));
    m_notifications.post(kApplicationWillTerminateNotification);
    client->waitForSends();
    EXPECT_EQ(client->savedSessionCount(), 1u);
}

TEST_F(ReportSendTest, BackgroundTimeIsHeldUntilThePauseSendReturns) {
    auto client = makeClient(m_server.url());
    client->startSession(kKey);
    m_server.hold();
    m_notifications.post(kApplicationWillResignActiveNotification);
    ASSERT_TRUE(m_server.waitForReports(1));
    EXPECT_TRUE(client->holdsBackgroundTime());
    m_server.release();
    client->waitForSends();
    EXPECT_FALSE(client->holdsBackgroundTime());
}

TEST_F(ReportSendTest, ASendThatFindsTheNetworkLockTakenSkips) {
    UsageFileCache files(UsageFileCache::folderIn(m_temp.path()), 1, kAgentVersion);
    ASSERT_TRUE(files.createFolder().ok());
    SavedSessions saved(files, 50);
    saved.add(encodeSessionRecord(sampleSessionRecord()));
    ReportSender sender(*m_http, m_server.url(), 10s, saved, files);
    const ReportHead head{kKey, kAgentVersion, 1, 0};

    m_server.hold();
    ReportSender::Outcome first = ReportSender::Outcome::Failed;
    std::thread worker([&] { first = sender.send(head, nullptr, std::nullopt); });
    ASSERT_TRUE(m_server.waitForReports(1));

    LogCapture log;
    EXPECT_EQ(sender.send(head, nullptr, std::nullopt), ReportSender::Outcome::Skipped);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Could not acquire network lock. Skipping"});
    m_server.release();
    worker.join();
    EXPECT_EQ(first, ReportSender::Outcome::Sent);
    EXPECT_EQ(m_server.received().size(), 1u);
    EXPECT_EQ(saved.size(), 0u);
}
