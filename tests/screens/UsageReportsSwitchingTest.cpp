// The settings screen's usage-reports switch as the app wires it: the client
// stops or starts at once, the sessions kept go when it stops, and the
// choice is written to the configuration file beside the values already
// there, so the next start does the same.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "analytics/UsageAnalytics.h"
#include "analytics/UsageSession.h"
#include "app/AppUsageReportsSwitch.h"
#include "appkit/Configuration.h"
#include "platform/Paths.h"
#include "platform/curl/CurlHttpClient.h"
#include "support/LocalHttpServer.h"
#include "support/LogCapture.h"
#include "support/ManualClock.h"
#include "support/ManualMainQueue.h"
#include "support/TempFolder.h"

using namespace qp;

namespace {

constexpr const char* kKey = "ABCDEFGHIJ0123456789";

std::string fileText(const std::filesystem::path& file) {
    const Result<std::string> text = readFile(file);
    return text.ok() ? *text : std::string();
}

class UsageReportsSwitching : public ::testing::Test {
protected:
    std::unique_ptr<UsageAnalytics> makeClient(bool on) {
        UsageAnalyticsSettings settings;
        settings.usageReportsEnabled = on;
        return std::make_unique<UsageAnalytics>(m_clock, m_notifications, nullptr,
                                                m_temp.path() / "Library", "1.2", "", settings);
    }
    std::filesystem::path usageFiles() const { return m_temp.path() / "Library" / "UsageFiles"; }
    std::filesystem::path configFile() const { return m_temp.path() / "config" / "config.json"; }
    Configuration reload() const {
        Result<Configuration> loaded = Configuration::load(configFile());
        EXPECT_TRUE(loaded.ok());
        return loaded.ok() ? *loaded : Configuration();
    }

    TempFolder m_temp;
    ManualClock m_clock;
    NotificationCenter m_notifications;
};

}  // namespace

TEST_F(UsageReportsSwitching, OffWhileRunningStopsRecordingAndDeletesTheKeptSessions) {
    auto client = makeClient(true);
    client->startSession(kKey);
    client->logEvent("tap");
    m_notifications.post(kApplicationWillResignActiveNotification);  // the session is on disk
    ASSERT_FALSE(std::filesystem::is_empty(usageFiles()));

    AppUsageReportsSwitch usage(*client, configFile());
    ASSERT_TRUE(usage.isOn());
    ASSERT_TRUE(usage.setOn(false).ok());
    EXPECT_FALSE(usage.isOn());
    EXPECT_FALSE(std::filesystem::exists(usageFiles()));
    EXPECT_EQ(client->currentSession(), nullptr);

    // Nothing the app does afterwards brings a file back.
    client->logEvent("tap");
    m_notifications.post(kApplicationDidBecomeActiveNotification);
    m_notifications.post(kApplicationWillResignActiveNotification);
    m_notifications.post(kApplicationWillTerminateNotification);
    EXPECT_FALSE(std::filesystem::exists(usageFiles()));
    EXPECT_EQ(reload().value(config::kAnalyticsEnabled), "false");
}

// Off while a report is on its way: the send is called back instead of
// waited for, and nothing leaves afterwards.
TEST_F(UsageReportsSwitching, OffCancelsTheReportOnItsWay) {
    using namespace std::chrono_literals;
    LocalHttpServer server;
    std::atomic<int> reports{0};
    server.routes().Post("/report", [&](const httplib::Request&, httplib::Response& response) {
        ++reports;
        server.signal();
        server.holdUntilReleased(20s);
        response.status = 200;
    });
    ASSERT_TRUE(server.start());
    ManualMainQueue queue;
    UsageAnalytics client(m_clock, m_notifications, std::make_shared<CurlHttpClient>(queue),
                          m_temp.path() / "Library", "1.2", server.url("/report"));
    client.startSession(kKey);
    client.logEvent("tap");
    m_notifications.post(kApplicationWillResignActiveNotification);  // the pause sends
    ASSERT_TRUE(server.waitForSignals(1, 10s));

    AppUsageReportsSwitch usage(client, configFile());
    LogCapture log;
    const auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(usage.setOn(false).ok());
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s) << "it waited for the server";
    EXPECT_FALSE(log.contains("UsageAnalytics: A cancelled report did not stop in time."));
    EXPECT_FALSE(std::filesystem::exists(usageFiles()));
    server.release();

    m_notifications.post(kApplicationDidBecomeActiveNotification);
    m_notifications.post(kApplicationWillResignActiveNotification);
    m_notifications.post(kApplicationWillTerminateNotification);
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(std::filesystem::exists(usageFiles()));
}

TEST_F(UsageReportsSwitching, OnAgainStartsAFreshSessionThatRecords) {
    auto client = makeClient(false);
    client->startSession(kKey);
    AppUsageReportsSwitch usage(*client, configFile());
    ASSERT_TRUE(usage.setOn(true).ok());
    ASSERT_NE(client->currentSession(), nullptr);
    client->logEvent("tap");
    EXPECT_EQ(client->currentSession()->eventCounts().at("tap"), 1);
    EXPECT_EQ(client->savedSessionCount(), 0u);
    // The lifecycle reaches the new session: a pause keeps it on disk.
    m_notifications.post(kApplicationWillResignActiveNotification);
    EXPECT_TRUE(std::filesystem::exists(usageFiles()));
    EXPECT_EQ(reload().value(config::kAnalyticsEnabled), "true");
}

TEST_F(UsageReportsSwitching, BeforeStartItOnlyDecidesWhatStartDoes) {
    auto client = makeClient(true);
    client->setUsageReportsEnabled(false);
    EXPECT_FALSE(std::filesystem::exists(usageFiles()));
    client->startSession(kKey);
    EXPECT_EQ(client->currentSession(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(usageFiles()));
}

TEST_F(UsageReportsSwitching, TheChoiceJoinsTheValuesTheFileHolds) {
    std::filesystem::create_directories(configFile().parent_path());
    std::ofstream(configFile()) << "\xEF\xBB\xBF{\"feed_host\": \"http://127.0.0.1:8080\", "
                                   "\"analytics_enabled\": true, \"store_id\": 42}";
    ASSERT_TRUE(Configuration::storeValue(configFile(), config::kAnalyticsEnabled, "false").ok());
    const Configuration saved = reload();
    EXPECT_EQ(saved.value(config::kFeedHost), "http://127.0.0.1:8080");
    EXPECT_EQ(saved.value(config::kStoreId), "42");
    EXPECT_EQ(saved.value(config::kAnalyticsEnabled), "false");
}

TEST_F(UsageReportsSwitching, AFileTheAppCannotReadIsLeftAsItIs) {
    std::filesystem::create_directories(configFile().parent_path());
    const std::string broken = "{\"feed_host\": \"http://x\",";
    std::ofstream(configFile()) << broken;
    const Result<void> stored =
        Configuration::storeValue(configFile(), config::kAnalyticsEnabled, "false");
    ASSERT_FALSE(stored.ok());
    EXPECT_NE(stored.error().description().find(configFile().string()), std::string::npos);
    EXPECT_EQ(fileText(configFile()), broken);

    // Nor is a value of the wrong form written.
    EXPECT_FALSE(Configuration::storeValue(configFile(), config::kAnalyticsEnabled, "yes").ok());
    EXPECT_EQ(fileText(configFile()), broken);
}

TEST_F(UsageReportsSwitching, ASwitchTheEnvironmentOverridesSaysSoButTakesEffectNow) {
    auto client = makeClient(true);
    client->startSession(kKey);
    AppUsageReportsSwitch usage(*client, configFile());
    setenv("QUILLPOST_ANALYTICS_ENABLED", "true", 1);
    const Result<void> kept = usage.setOn(false);
    unsetenv("QUILLPOST_ANALYTICS_ENABLED");
    ASSERT_FALSE(kept.ok());
    EXPECT_NE(kept.error().description().find("QUILLPOST_ANALYTICS_ENABLED"), std::string::npos);
    EXPECT_FALSE(usage.isOn());
    EXPECT_FALSE(std::filesystem::exists(usageFiles()));
}

TEST(ConfigurationStoreId, IsTheProductsNumberOnly) {
    Configuration configuration;
    EXPECT_TRUE(configuration.mergeJson(R"({"store_id": 123456789})", "file").ok());
    EXPECT_EQ(configuration.value(config::kStoreId), "123456789");
    const Result<void> refused = configuration.mergeJson(R"({"store_id": "id123"})", "file");
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().description().find("store_id"), std::string::npos);
}
