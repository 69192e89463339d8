#include "app/AppUsageReportsSwitch.h"

#include <cstdlib>
#include <string>

#include "analytics/UsageAnalytics.h"
#include "appkit/Configuration.h"

namespace qp {

namespace {
constexpr const char* kSwitchErrorDomain = "qp.usage-reports";
enum SwitchErrorCode { kSwitchErrorOverridden = 1 };
}  // namespace

AppUsageReportsSwitch::AppUsageReportsSwitch(UsageAnalytics& analytics,
                                             std::filesystem::path configFile)
    : m_analytics(analytics), m_configFile(std::move(configFile)) {}

bool AppUsageReportsSwitch::isOn() const {
    return m_analytics.usageReportsEnabled();
}

Result<void> AppUsageReportsSwitch::setOn(bool on) {
    m_analytics.setUsageReportsEnabled(on);
    const std::string value = on ? "true" : "false";
    if (Result<void> kept =
            Configuration::storeValue(m_configFile, config::kAnalyticsEnabled, value);
        !kept.ok())
        return kept;
    // The environment wins over the file at every start.
    const std::string variable = Configuration::environmentName(config::kAnalyticsEnabled);
    if (const char* forced = std::getenv(variable.c_str()); forced && value != forced) {
        return Error(kSwitchErrorDomain, kSwitchErrorOverridden,
                     {{kLocalizedDescriptionKey,
                       "The environment variable " + variable + "=" + forced +
                           " decides at the next start; unset it to keep this choice."}});
    }
    return {};
}

}  // namespace qp
