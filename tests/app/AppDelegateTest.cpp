#include <fmt/format.h>
#include <gtest/gtest.h>

#include <limits>

#include <QCoreApplication>

#include "analytics/ReportCodec.h"
#include "analytics/UsageAnalytics.h"
#include "analytics/UsageFileCache.h"
#include "analytics/UsageSession.h"
#include "app/AppDelegate.h"
#include "platform/DeviceProfile.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/ViewAlpha.h"
#include "platform/ui/ViewFrame.h"
#include "platform/ui/Window.h"
#include "screens/MainViewController.h"
#include "screens/MoreViewController.h"
#include "support/LogCapture.h"
#include "support/TestAppServices.h"
#include "ui/Throbber.h"

using namespace qp;

namespace {

class AppDelegateTest : public testing::Test, public test::TestAppServices {
protected:
    AppDelegateTest() : TestAppServices("iphone-4in") { useDevice("iphone-4in"); }
    ~AppDelegateTest() override { setCurrentDeviceProfile(defaultDeviceProfile()); }

    void useDevice(const std::string& name) {
        device = *deviceProfileNamed(name);
        device.systemVersion = "6.1.3";
        setCurrentDeviceProfile(device);
    }

    std::unique_ptr<AppDelegate> launch() {
        auto app = std::make_unique<AppDelegate>(context(), "ABCDEFGHIJ0123456789",
                                                 [] { return std::string("iPhone5,1"); });
        ApplicationLifecycle lifecycle(*app, &notifications);
        EXPECT_TRUE(app->applicationDidFinishLaunchingWithOptions());
        return app;
    }
};

struct UrlCatcher : OpenURLHandler {
    std::vector<std::string> urls;
    bool handleOpenURL(const std::string& url) override {
        urls.push_back(url);
        return true;
    }
};

}  // namespace

TEST_F(AppDelegateTest, LaunchRunsItsStepsInOrderAndCountsLaunches) {
    LogCapture log;
    auto app = launch();
    const std::vector<std::string> expected{
        "-[AppDelegate application:didFinishLaunchingWithOptions:]", " ", "kLaunchesNumber = 1",
        " ", "deviceType: 3"};
    std::vector<std::string> lines = log.lines();
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5), expected);
    EXPECT_EQ(analytics.sessions, std::vector<std::string>{"ABCDEFGHIJ0123456789"});
    EXPECT_EQ(defaults.integerForKey(kLaunchesNumberKey), 1);
    EXPECT_EQ(app->state().deviceType(), 3);
    EXPECT_EQ(app->viewController()->layoutName(), "MainViewController_iPhone40");
    EXPECT_EQ(app->moreViewController()->layoutName(), "More_iPhone");
    EXPECT_EQ(app->window()->rootViewController(), app->viewController().get());
    EXPECT_TRUE(app->viewController()->isOnScreen());
    EXPECT_FALSE(app->state().startButtonWasPressed());
    EXPECT_FALSE(app->state().currentThemeIsCOTD());

    app.reset();
    log.clear();
    app = launch();
    EXPECT_EQ(defaults.integerForKey(kLaunchesNumberKey), 2);
    EXPECT_TRUE(log.contains("kLaunchesNumber = 2"));
}

TEST_F(AppDelegateTest, LaunchCountAtTheLargestValueStaysThere) {
    constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
    defaults.setInteger(kLargest, kLaunchesNumberKey);
    LogCapture log;
    auto app = launch();
    EXPECT_EQ(defaults.integerForKey(kLaunchesNumberKey), kLargest);
    EXPECT_TRUE(log.contains(fmt::format("kLaunchesNumber = {}", kLargest)));
}

TEST_F(AppDelegateTest, TabletsGetTabletLayoutsWhateverTheirScale) {
    for (const char* name : {"ipad", "ipad-retina"}) {
        SCOPED_TRACE(name);
        useDevice(name);
        auto app = launch();
        EXPECT_EQ(app->viewController()->layoutName(), "MainViewController_iPad");
        EXPECT_EQ(app->moreViewController()->layoutName(), "More_iPad");
    }
    useDevice("iphone");
    EXPECT_EQ(launch()->viewController()->layoutName(), "MainViewController_iPhone");
}

namespace {

// The device events as the usage session keeps them.
std::vector<RecordingAnalytics::Event> eventsOf(const std::vector<EventRecord>& events) {
    std::vector<RecordingAnalytics::Event> out;
    for (const EventRecord& e : events) {
        const ParameterList parameters = e.parameters.value_or(ParameterList{});
        out.push_back({e.name, EventParameters(parameters.begin(), parameters.end())});
    }
    return out;
}

}  // namespace

TEST_F(AppDelegateTest, EveryActivationRecordsTheFourDeviceEventsInTheSessionItOpens) {
    // The real recorder, keeping its sessions on the device, and one launch
    // through the lifecycle as the platform runs it.
    UsageAnalytics usage(queue.clock(), notifications, nullptr, home.path() / "Library", "1.0", "");
    AppContext services = context();
    services.analytics = &usage;
    AppDelegate app(services, "ABCDEFGHIJ0123456789", [] { return std::string("iPhone5,1"); });
    ApplicationLifecycle lifecycle(app, &notifications);
    lifecycle.launch();

    using Event = RecordingAnalytics::Event;
    const std::vector<Event> once{
        {"1-Device:", {{"Device Type", "iPhone 5 (GSM)"}}},
        {"2-iOS:", {{"iOS version", "6.1.3"}}},
        {"3-Device Class:", {{"Device Class", "iPhone 5 class"}}},
        {"4-iOS Class:", {{"iOS Class", "6.1"}}},
    };
    std::vector<Event> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    const std::shared_ptr<const UsageSession> first = usage.currentSession();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(eventsOf(first->record().events), once);

    // A short absence (a look at another app) continues the session.
    lifecycle.windowDeactivated();
    queue.clock().advance(std::chrono::seconds(3));
    lifecycle.windowActivated();
    EXPECT_EQ(usage.currentSession(), first);
    EXPECT_EQ(eventsOf(first->record().events), twice);

    // A long one in the background starts a new session, which holds the
    // events of the return; the old one keeps its own.
    lifecycle.enterBackground();
    queue.clock().advance(std::chrono::seconds(12));
    lifecycle.enterForeground(true);
    const std::shared_ptr<const UsageSession> second = usage.currentSession();
    ASSERT_NE(second, first);
    EXPECT_EQ(eventsOf(second->record().events), once);
    const std::vector<std::string> kept = usage.files()->readStoredSessions();
    ASSERT_EQ(kept.size(), 1u);
    const Result<SessionRecord> ended = decodeSessionRecord(kept[0]);
    ASSERT_TRUE(ended.ok());
    EXPECT_EQ(ended->sessionId, first->sessionId());
    EXPECT_EQ(eventsOf(ended->events), twice);
}

TEST_F(AppDelegateTest, BackgroundDropsTheMoreScreenAndForegroundMakesANewOne) {
    auto app = launch();
    std::shared_ptr<MoreViewController> first = app->moreViewController();
    app->viewController()->viewMorePage(nullptr);
    ASSERT_EQ(app->viewController()->presentedViewController(), first.get());
    EXPECT_EQ(analytics.eventNames(), std::vector<std::string>{"tapped: More button"});

    LogCapture log;
    app->applicationDidEnterBackground();
    EXPECT_EQ(app->moreViewController(), nullptr);
    EXPECT_EQ(app->viewController()->presentedViewController(),
              nullptr);  // closed without animation
    EXPECT_TRUE(log.contains("-[AppDelegate applicationDidEnterBackground:]"));

    app->applicationWillEnterForeground();
    ASSERT_NE(app->moreViewController(), nullptr);
    EXPECT_NE(app->moreViewController(), first);
    EXPECT_TRUE(log.contains("-[AppDelegate applicationWillEnterForeground:]"));

    // The start screen now shows the new instance, whose page loads afresh.
    app->viewController()->viewMorePage(nullptr);
    EXPECT_EQ(app->viewController()->presentedViewController(), app->moreViewController().get());
    EXPECT_TRUE(log.contains("-[MoreViewController viewDidLoad]"));

    // A second foreground keeps the existing screen.
    std::shared_ptr<MoreViewController> second = app->moreViewController();
    app->applicationWillEnterForeground();
    EXPECT_EQ(app->moreViewController(), second);
}

TEST_F(AppDelegateTest, UrlsAreDeclinedUntilTheSocialClientExists) {
    auto app = launch();
    EXPECT_FALSE(app->applicationHandleOpenURL("fb123://authorize#access_token=x"));
    EXPECT_FALSE(
        app->applicationOpenURLSourceApplicationAnnotation("fb123://authorize", "com.x", ""));
    auto catcher = std::make_shared<UrlCatcher>();
    app->setFacebook(catcher);
    EXPECT_TRUE(
        app->applicationOpenURLSourceApplicationAnnotation("fb123://authorize", "com.x", "note"));
    EXPECT_EQ(catcher->urls, std::vector<std::string>{"fb123://authorize"});
}

TEST_F(AppDelegateTest, LaunchPutsTheSharedOverlayOnTheWindowWithASmallBoldTitle) {
    auto app = launch();
    Throbber* throbber = Throbber::defaultThrobber();
    ASSERT_NE(throbber, nullptr);
    EXPECT_EQ(throbber->parentWidget(), app->window());
    EXPECT_EQ(throbber->mode(), 0);
    EXPECT_TRUE(throbber->blockNavigation());
    EXPECT_TRUE(throbber->title().isEmpty());
    EXPECT_EQ(viewAlpha(throbber), 0.0);  // present but transparent until shown
    EXPECT_EQ(viewFrame(throbber), Rect(0, 20, 320, 548));
    const Label* title = throbber->titleLabel();
    EXPECT_EQ(title->labelFont().pixelSize(), 10);
    EXPECT_TRUE(title->labelFont().bold());
    EXPECT_EQ(title->numberOfLines(), 0);
    EXPECT_EQ(title->lineBreakMode(), LineBreakMode::WordWrap);
    // The details line keeps its own style.
    EXPECT_EQ(throbber->detailsLabel()->labelFont().pixelSize(), 13);
    EXPECT_EQ(throbber->detailsLabel()->numberOfLines(), 2);
}
