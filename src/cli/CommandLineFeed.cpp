#include "cli/CommandLineFeed.h"

#include "editor/ResourceImages.h"
#include "feed/FeedUrl.h"

namespace qp {

// The wall clock stands at noon UTC of the asked day (in a leap year, so
// "02-29" exists); the monotonic clock runs as usual, for the time limit.
class CommandLineFeed::DayClock final : public Clock {
public:
    explicit DayClock(const std::string& monthDay) {
        using namespace std::chrono;
        const unsigned month = unsigned(std::stoi(monthDay.substr(0, 2)));
        const unsigned day = unsigned(std::stoi(monthDay.substr(3, 2)));
        m_wall = sys_days(year{2024} / month / day) + hours(12);
    }
    WallTime now() const override { return m_wall; }
    Monotonic monotonicNow() const override { return std::chrono::steady_clock::now(); }

private:
    WallTime m_wall;
};

CommandLineFeed::CommandLineFeed(const CommandLineFeedSetup& setup)
    : m_revisionUrl(revisionFileUrl(setup.feedUrl)), m_http(m_queue) {
    if (setup.day.empty()) {
        m_clock = std::make_unique<SystemClock>();
        m_zone = std::make_unique<LocalTimeZone>();
    } else {
        m_clock = std::make_unique<DayClock>(setup.day);
        m_zone = std::make_unique<FixedOffsetTimeZone>();
    }
    m_state.setCurrentThemeIsCOTD(true);
    FeedOptions options;
    options.revisionUrl = m_revisionUrl;
    options.synchronous = true;
    options.ignoreReachability = true;
    if (setup.overallLimit) {
        options.limits.deadline = m_clock->monotonicNow() + *setup.overallLimit;
    }
    const std::filesystem::path resources = setup.resources;
    FeedServices services{
        .http = m_http,
        .defaults = m_settings,
        .clock = *m_clock,
        .timeZone = *m_zone,
        .mainQueue = nullptr,
        .notifications = nullptr,
        .overlay = nullptr,
        .state = &m_state,
        .namedImage =
            [resources](const std::string& name) { return resourceImageNamed(resources, name); },
        .observer = setup.observer,
    };
    m_handler = std::make_unique<COTDHandler>(std::move(services), std::move(options));
}

CommandLineFeed::~CommandLineFeed() = default;

void CommandLineFeed::run() {
    m_handler->loadTheCOTDimages();
}

}  // namespace qp
