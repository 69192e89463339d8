#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "appkit/AppHelpers.h"
#include "appkit/Configuration.h"
#include "platform/DeviceProfile.h"
#include "support/HeadlessAlerts.h"
#include "support/TempFolder.h"

using namespace qp;

TEST(ModalAlertDelegate, BlocksUntilAnsweredAndReturnsTheIndex) {
    test::HeadlessAlerts headless([](const AlertView&) { return 1; });
    auto modal = ModalAlertDelegate::delegateWithAlert(
        AlertView::create("Post?", "Really", nullptr, "No", {"Yes"}));
    EXPECT_EQ(modal->show(), 1);
    EXPECT_EQ(modal->index(), 1);
    EXPECT_EQ(modal->alertView(), nullptr);  // let go once answered
}

TEST(IsPad, FollowsTheCurrentProfilesIdiom) {
    setCurrentDeviceProfile(*deviceProfileNamed("ipad"));
    EXPECT_TRUE(IsPad());
    DeviceProfile noIdiom = *deviceProfileNamed("ipad");
    noIdiom.idiom.reset();
    setCurrentDeviceProfile(noIdiom);
    EXPECT_FALSE(IsPad());
    setCurrentDeviceProfile(defaultDeviceProfile());
    EXPECT_FALSE(IsPad());
}

TEST(Configuration, FileValuesThenEnvironmentOverrideDefaults) {
    const TempFolder folder;
    const std::filesystem::path& dir = folder.path();
    const auto file = dir / "config.json";
    std::ofstream(file)
        << R"({"feed_host": "http://127.0.0.1:8080", "analytics_key": "FILEKEY1234567890123", "retries": 3})";
    setenv("QUILLPOST_ANALYTICS_KEY", "ENVKEY12345678901234", 1);
    Result<Configuration> config = Configuration::load(file);
    unsetenv("QUILLPOST_ANALYTICS_KEY");
    ASSERT_TRUE(config.ok());
    EXPECT_EQ(config->value(config::kFeedHost), "http://127.0.0.1:8080");
    EXPECT_EQ(config->value(config::kAnalyticsKey), "ENVKEY12345678901234");
    EXPECT_EQ(config->value("retries"), "3");
    EXPECT_FALSE(config->has(config::kAnalyticsReportUrl));  // no report address by default
    EXPECT_EQ(Configuration::environmentName("feed_host"), "QUILLPOST_FEED_HOST");

    // A missing file is fine; a broken one names itself.
    EXPECT_TRUE(Configuration::load(dir / "absent.json").ok());
    for (const char* text : {"{\"feed_host\": ", "[\"a\"]", "{\"feed_host\": {\"x\": 1}}"}) {
        SCOPED_TRACE(text);
        std::ofstream(file) << text;
        Result<Configuration> broken = Configuration::load(file);
        ASSERT_FALSE(broken.ok());
        EXPECT_NE(broken.error().description().find(file.string()), std::string::npos);
    }
}
