#include "app/AppThemeFeed.h"

#include "appkit/AppContext.h"
#include "editor/COTDThemeFeed.h"
#include "editor/ResourceImages.h"
#include "feed/COTDHandler.h"
#include "feed/FeedMonitor.h"
#include "feed/FeedUrl.h"
#include "platform/Paths.h"
#include "platform/reachability/LinuxReachability.h"
#include "ui/Throbber.h"

namespace qp {

namespace {

// The shared overlay, looked up on each call: it is made at launch.
class ThrobberOverlay final : public ProgressOverlay {
public:
    void setTitle(const std::string& title) override {
        if (Throbber* throbber = Throbber::defaultThrobber())
            throbber->setTitle(QString::fromStdString(title));
    }
    void show() override {
        if (Throbber* throbber = Throbber::defaultThrobber()) throbber->show();
    }
    void dismiss() override {
        if (Throbber* throbber = Throbber::defaultThrobber()) throbber->dismiss();
    }
};

}  // namespace

struct AppThemeFeed::Parts {
    ThrobberOverlay overlay;
    LocalTimeZone timeZone;
    std::unique_ptr<COTDHandler> handler;
    std::unique_ptr<COTDThemeFeed> themeFeed;
    std::shared_ptr<Reachability> monitor;
};

AppThemeFeed::AppThemeFeed(std::unique_ptr<Parts> parts) : m_parts(std::move(parts)) {}

AppThemeFeed::~AppThemeFeed() {
    // The monitor would otherwise keep posting to services that end with us.
    if (m_parts->monitor) m_parts->monitor->stopNotifier();
}

std::unique_ptr<AppThemeFeed> AppThemeFeed::create(const AppContext& context, const AppState& state,
                                                   const std::string& feedHost) {
    if (feedHost.empty()) return nullptr;
    auto parts = std::make_unique<Parts>();
    const std::filesystem::path resources = context.paths->resources();
    FeedServices services{
        .http = *context.http,
        .defaults = *context.defaults,
        .clock = *context.clock,
        .timeZone = parts->timeZone,
        .mainQueue = context.mainQueue,
        .notifications = context.notifications,
        .overlay = &parts->overlay,
        .state = &state,
        .namedImage =
            [resources](const std::string& name) { return resourceImageNamed(resources, name); },
        .observer = nullptr,
    };
    FeedOptions options;
    options.revisionUrl = revisionFileUrl(feedHost);
    parts->handler = std::make_unique<COTDHandler>(std::move(services), options);
    parts->handler->watchReachability(
        monitorFeedHost(options.revisionUrl,
                        {context.notifications, context.mainQueue, &linuxReachabilitySources(), {}},
                        &parts->monitor));
    parts->themeFeed = std::make_unique<COTDThemeFeed>(*parts->handler);
    return std::unique_ptr<AppThemeFeed>(new AppThemeFeed(std::move(parts)));
}

ThemeFeed& AppThemeFeed::themeFeed() {
    return *m_parts->themeFeed;
}

}  // namespace qp
