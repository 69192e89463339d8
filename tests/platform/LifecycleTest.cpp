#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ApplicationLifecycle.h"
#include "platform/NotificationCenter.h"
#include "support/RecordingApplicationDelegate.h"

using namespace qp;

namespace {

using Calls = std::vector<std::string>;

}  // namespace

TEST(ApplicationLifecycle, FollowsThePhonesOrderThroughAWholeRun) {
    RecordingApplicationDelegate delegate;
    NotificationCenter center;
    std::vector<std::string> posted;
    for (const char* name :
         {kApplicationDidBecomeActiveNotification, kApplicationWillTerminateNotification}) {
        center.addObserver(name, nullptr, [&](const Notification& n) { posted.push_back(n.name); });
    }
    ApplicationLifecycle life(delegate, &center);

    life.launch();
    life.launch();  // a second launch is ignored
    life.windowDeactivated();
    life.windowActivated();
    life.enterBackground();
    life.enterBackground();  // already there
    life.enterForeground(true);
    life.terminate();
    life.terminate();

    EXPECT_EQ(delegate.calls, (Calls{"launch", "active", "resign", "active", "resign", "background",
                                     "foreground", "active", "resign", "background", "terminate"}));
    EXPECT_EQ(
        posted,
        (Calls{kApplicationDidBecomeActiveNotification, kApplicationDidBecomeActiveNotification,
               kApplicationDidBecomeActiveNotification, kApplicationWillTerminateNotification}));
    EXPECT_EQ(life.state(), ApplicationLifecycle::State::Terminated);
}

TEST(ApplicationLifecycle, ForegroundWithoutFocusWaitsForActivation) {
    RecordingApplicationDelegate delegate;
    ApplicationLifecycle life(delegate, nullptr);
    life.launch();
    life.enterBackground();
    delegate.calls.clear();
    life.enterForeground(false);
    EXPECT_EQ(delegate.calls, (Calls{"foreground"}));
    life.windowActivated();
    EXPECT_EQ(delegate.calls, (Calls{"foreground", "active"}));
    life.windowActivated();  // no second activation while active
    EXPECT_EQ(delegate.calls.size(), 2u);
}

TEST(ApplicationLifecycle, ObserversHearOfActivationBeforeTheDelegateAndOfResigningAfterIt) {
    // What the delegate records on activation belongs to the usage session
    // that observers open on that activation.
    Calls order;
    RecordingApplicationDelegate delegate(&order);
    NotificationCenter center;
    center.addObserver(kApplicationDidBecomeActiveNotification, nullptr,
                       [&](const Notification&) { order.push_back("observers: active"); });
    center.addObserver(kApplicationWillResignActiveNotification, nullptr,
                       [&](const Notification&) { order.push_back("observers: resign"); });
    ApplicationLifecycle life(delegate, &center);
    life.launch();
    life.enterBackground();
    life.enterForeground(true);
    EXPECT_EQ(order, (Calls{"launch", "observers: active", "active", "resign", "observers: resign",
                            "background", "foreground", "observers: active", "active"}));
}

TEST(NotificationCenter, FiltersBySenderAndStopsAfterRemoval) {
    NotificationCenter center;
    int a = 0, b = 0, any = 0;
    const int senderA = 1, senderB = 2;
    center.addObserver("n", &senderA, [&](const Notification&) { ++a; });
    center.addObserver("n", &senderB, [&](const Notification&) { ++b; });
    const auto id = center.addObserver("n", nullptr, [&](const Notification&) { ++any; });
    center.post("n", &senderA);
    center.post("other", &senderA);
    center.removeObserver(id);
    center.post("n", &senderB);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(any, 1);
}

TEST(NotificationCenter, HandlerMayRemoveALaterObserver) {
    NotificationCenter center;
    int second = 0;
    NotificationCenter::ObserverId later = 0;
    center.addObserver("n", nullptr, [&](const Notification&) { center.removeObserver(later); });
    later = center.addObserver("n", nullptr, [&](const Notification&) { ++second; });
    center.post("n");
    EXPECT_EQ(second, 0);
}
