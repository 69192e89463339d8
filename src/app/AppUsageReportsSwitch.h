#pragma once
// The usage-reports switch of the running app: it turns the analytics client
// on or off at once and keeps the choice as analytics_enabled in the
// configuration file, so the next start does the same.

#include <filesystem>

#include "appkit/UsageReportsSwitch.h"

namespace qp {

class UsageAnalytics;

class AppUsageReportsSwitch final : public UsageReportsSwitch {
public:
    // `analytics` must outlive the switch; `configFile` is the file the app read.
    AppUsageReportsSwitch(UsageAnalytics& analytics, std::filesystem::path configFile);

    bool isOn() const override;
    Result<void> setOn(bool on) override;

private:
    UsageAnalytics& m_analytics;
    std::filesystem::path m_configFile;
};

}  // namespace qp
