#include <gtest/gtest.h>

#include <map>

#include "ReportServer.h"
#include "analytics/KeyHash.h"
#include "analytics/ReportCodec.h"
#include "analytics/ReportDelivery.h"
#include "analytics/ReportWriter.h"
#include "analytics/UsageAnalytics.h"
#include "analytics/UsageFileCache.h"
#include "analytics/UsageSession.h"
#include "platform/ApplicationLifecycle.h"
#include "platform/curl/CurlHttpClient.h"
#include "support/LogCapture.h"
#include "support/ManualClock.h"
#include "support/ManualMainQueue.h"
#include "support/TempFolder.h"

using namespace qp;
using namespace std::chrono_literals;

namespace {

constexpr const char* kKey = "ABCDEFGHIJ0123456789";

// Each session's states in the order the server received them.
using Arrivals = std::map<std::string, std::vector<SessionRecord>>;

// The client against a loopback report server, driven through the
// application lifecycle; each launch is a new client on the same files.
class ReportDeliveryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.start()); }

    std::unique_ptr<UsageAnalytics> launch() {
        auto client = std::make_unique<UsageAnalytics>(m_clock, m_notifications, m_http,
                                                       m_temp.path(), "1.2", m_server.url());
        client->startSession(kKey);
        m_lifecycle = std::make_unique<ApplicationLifecycle>(m_delegate, &m_notifications);
        m_lifecycle->launch();
        return client;
    }

    // A focus loss, a few seconds, then quit (which resigns again on the
    // way): the states the session passes through before the process ends.
    // Answers the time of the end.
    std::int64_t pauseThenTerminate(UsageAnalytics& client) {
        client.logEvent("tap");
        m_lifecycle->windowDeactivated();
        m_clock.advance(3s);
        m_lifecycle->terminate();
        return timestampMilliseconds(m_clock.now());
    }

    Arrivals arrivals() const {
        Arrivals byId;
        for (const ReportServer::Received& report : m_server.received()) {
            Result<DecodedReport> decoded = decodeReport(report.body);
            EXPECT_TRUE(decoded.ok());
            if (!decoded.ok()) continue;
            for (SessionRecord& s : decoded->sessions) byId[s.sessionId].push_back(std::move(s));
        }
        return byId;
    }

    // The sessions kept on the device, read from the file as the next launch would.
    std::vector<SessionRecord> kept() const {
        std::vector<SessionRecord> records;
        for (const std::string& bytes : files().readStoredSessions())
            records.push_back(decodeSessionRecord(bytes).value());
        return records;
    }

    UsageFileCache files() const {
        return UsageFileCache(UsageFileCache::folderIn(m_temp.path()), usageKeyHash(kKey),
                              kAgentVersion);
    }

    TempFolder m_temp;
    ManualClock m_clock;
    NotificationCenter m_notifications;
    ManualMainQueue m_queue;
    std::shared_ptr<CurlHttpClient> m_http = std::make_shared<CurlHttpClient>(m_queue);
    ReportServer m_server;
    ApplicationDelegate m_delegate;
    std::unique_ptr<ApplicationLifecycle> m_lifecycle;
};

}  // namespace

TEST_F(ReportDeliveryTest, StartingWithNothingKeptSendsNothingAndAnEarlyPauseGoes) {
    LogCapture log;
    auto client = launch();
    ASSERT_NE(client->delivery(), nullptr);
    EXPECT_TRUE(client->delivery()->isIdle()) << "no send starts with nothing to carry";
    m_lifecycle->windowDeactivated();
    client->waitForSends();
    ASSERT_EQ(m_server.received().size(), 1u);
    EXPECT_EQ(arrivals().count(client->currentSession()->sessionId()), 1u);
    EXPECT_FALSE(log.contains("Could not acquire network lock. Skipping"));
}

struct QuitCase {
    const char* name;
    int status;
    bool dropAnswers;
    bool keptAfterQuit;
};

class QuitAfterAPause : public ReportDeliveryTest,
                        public ::testing::WithParamInterface<QuitCase> {};

TEST_P(QuitAfterAPause, TheEndedStateGoesOnceAcknowledgedAndNeverOverlaps) {
    const QuitCase& c = GetParam();
    m_server.setStatus(c.status);
    m_server.setDropAnswers(c.dropAnswers);
    auto client = launch();
    const std::string id = client->currentSession()->sessionId();
    const std::int64_t endedAt = pauseThenTerminate(*client);
    const std::shared_ptr<ReportDelivery> delivery = client->delivery();
    client.reset();
    ASSERT_TRUE(delivery->waitUntilIdle(10s));

    // The pause's send carried the paused state, or the ended one when quit
    // came before it left; the ended state went last, in a send of its own
    // unless the pause's send had carried it already.
    Arrivals received = arrivals();
    ASSERT_EQ(received.size(), 1u);
    const std::size_t sentAtQuit = received[id].size();
    ASSERT_GE(sentAtQuit, 1u);
    ASSERT_LE(sentAtQuit, 2u);
    EXPECT_EQ(received[id].back().endMilliseconds, endedAt);
    EXPECT_FALSE(received[id].back().crashed);
    EXPECT_FALSE(files().hasCurrentSession()) << "a clean end is not a crash";
    const std::vector<SessionRecord> left = kept();
    if (c.keptAfterQuit) {
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(left[0].sessionId, id);
        EXPECT_EQ(left[0].endMilliseconds, endedAt);
    } else {
        EXPECT_TRUE(left.empty());
    }

    // The next launch repeats what was not acknowledged, once, and only that.
    m_server.setStatus(200);
    m_server.setDropAnswers(false);
    auto next = launch();
    next->waitForSends();
    received = arrivals();
    EXPECT_EQ(received[id].size(), sentAtQuit + (c.keptAfterQuit ? 1 : 0));
    EXPECT_EQ(received[id].back().endMilliseconds, endedAt);
    EXPECT_EQ(received.size(), 1u) << "the new session has not been sent yet";
    EXPECT_TRUE(kept().empty());
    EXPECT_EQ(m_server.maxHandling(), 1);
}

INSTANTIATE_TEST_SUITE_P(ReportDelivery, QuitAfterAPause,
                         ::testing::Values(QuitCase{"Answering", 200, false, false},
                                           QuitCase{"Refusing", 500, false, true},
                                           QuitCase{"DroppingTheConnection", 200, true, true}),
                         [](const ::testing::TestParamInfo<QuitCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(ReportDeliveryTest, QuitCancelsAStalledSendAndItsSessionGoesAtTheNextLaunch) {
    // The answer never comes while the client lives.
    m_server.hold();
    m_server.setDropAnswers(true);
    auto client = launch();
    const std::string id = client->currentSession()->sessionId();
    const std::int64_t endedAt = pauseThenTerminate(*client);
    ASSERT_TRUE(m_server.waitForReports(1));
    const std::shared_ptr<ReportDelivery> delivery = client->delivery();
    LogCapture log;
    const auto quitting = std::chrono::steady_clock::now();
    client.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - quitting, 3s) << "the server holds for longer";
    EXPECT_TRUE(delivery->isIdle()) << "a send ran on after the client was gone";
    EXPECT_TRUE(log.contains(
        "UsageAnalytics: A report is still on its way; its sessions stay on the device."));
    ASSERT_EQ(kept().size(), 1u) << "no answer, so the ended session stays";
    EXPECT_EQ(kept()[0].endMilliseconds, endedAt);
    // The server finishes with the abandoned report before the next launch.
    m_server.release();
    ASSERT_TRUE(m_server.waitUntilIdle());

    m_server.setDropAnswers(false);
    auto next = launch();
    next->waitForSends();
    const Arrivals received = arrivals();
    EXPECT_EQ(received.at(id).size(), 2u)
        << "the stalled send at quit (the one behind it was cancelled), then the next launch's";
    EXPECT_EQ(received.at(id).back().endMilliseconds, endedAt);
    EXPECT_TRUE(kept().empty());
    EXPECT_EQ(m_server.maxHandling(), 1);
}

TEST_F(ReportDeliveryTest, SendsAskedForDuringASendFollowItWithTheLatestState) {
    auto client = launch();
    m_server.hold();
    const std::string first = client->currentSession()->sessionId();
    m_lifecycle->windowDeactivated();
    ASSERT_TRUE(m_server.waitForReports(1));

    // Back after a long absence, a new session; then away again. Both sends
    // wait for the one on its way and go as one, with the latest state.
    m_clock.advance(12s);
    m_lifecycle->windowActivated();
    const std::string second = client->currentSession()->sessionId();
    ASSERT_NE(second, first);
    client->logEvent("in the second session");
    m_lifecycle->windowDeactivated();
    EXPECT_TRUE(client->holdsBackgroundTime());

    m_server.release();
    client->waitForSends();
    EXPECT_FALSE(client->holdsBackgroundTime());
    ASSERT_EQ(m_server.received().size(), 2u);
    EXPECT_EQ(m_server.maxHandling(), 1);
    const Arrivals received = arrivals();
    EXPECT_EQ(received.at(first).size(), 2u);
    ASSERT_EQ(received.at(second).size(), 1u);
    EXPECT_EQ(received.at(second)[0].events.at(0).name, "in the second session");
    EXPECT_TRUE(kept().empty()) << "the first session left once its ended state was acknowledged";
}

TEST_F(ReportDeliveryTest, WithTheMainQueueAPauseSendsOnceTheTurnIsThrough) {
    auto client = launch();
    client->setMainQueue(&m_queue);
    m_lifecycle->windowDeactivated();
    EXPECT_TRUE(client->delivery()->isIdle());
    EXPECT_TRUE(client->holdsBackgroundTime());
    m_queue.runPending();
    client->waitForSends();
    EXPECT_EQ(arrivals().count(client->currentSession()->sessionId()), 1u);
    EXPECT_FALSE(client->holdsBackgroundTime());
}

TEST_F(ReportDeliveryTest, WithTheMainQueueAQuitRightBehindAPauseSendsTheEndedStateAlone) {
    auto client = launch();
    client->setMainQueue(&m_queue);
    const std::string id = client->currentSession()->sessionId();
    client->logEvent("tap");
    // The desktop quits this way: resign, background and terminate in one go.
    m_lifecycle->terminate();
    const std::int64_t endedAt = timestampMilliseconds(m_clock.now());
    client.reset();
    EXPECT_EQ(m_queue.runPending(), 0u) << "no pause send left behind";

    ASSERT_EQ(m_server.received().size(), 1u);
    const Arrivals received = arrivals();
    ASSERT_EQ(received.at(id).size(), 1u);
    EXPECT_EQ(received.at(id)[0].endMilliseconds, endedAt);
    EXPECT_EQ(received.at(id)[0].eventCounts.size(), 1u);
    EXPECT_TRUE(kept().empty());
}
