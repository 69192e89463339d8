#include <gtest/gtest.h>

#include <QWidget>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "LifecycleRecorder.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/UiTiming.h"
#include "platform/ui/ViewAlpha.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/ManualMainQueue.h"

using namespace qp;
using namespace std::chrono_literals;

namespace {

class Timed : public testing::Test {
protected:
    ManualMainQueue queue;
    ScopedUiTiming timing{queue, queue.clock()};
};

using Log = LifecycleLog;

}  // namespace

using AnimationTest = Timed;

TEST_F(AnimationTest, StepsWithTheManualClockAndEndsExactly) {
    std::vector<double> values;
    int finishedCalls = 0;
    auto animation = Animation::start(
        0, 10, 100ms, [&](double v) { values.push_back(v); },
        [&](bool finished) { finishedCalls += finished ? 1 : 100; }, AnimationCurve::Linear);
    EXPECT_TRUE(animation->isRunning());
    ASSERT_EQ(values, std::vector<double>{0});
    queue.advance(50ms);
    EXPECT_NEAR(values.back(), 5, 1.0);
    EXPECT_EQ(finishedCalls, 0);
    queue.advance(60ms);
    EXPECT_EQ(values.back(), 10);
    EXPECT_EQ(finishedCalls, 1);
    EXPECT_FALSE(animation->isRunning());
    for (std::size_t i = 1; i < values.size(); ++i) EXPECT_GE(values[i], values[i - 1]);
    EXPECT_EQ(queue.pendingCount(), 0u);
}

TEST_F(AnimationTest, CancelStopsWhereItIsAndReportsUnfinished) {
    double last = -1;
    std::vector<bool> completions;
    auto animation = Animation::start(
        1, 0, 200ms, [&](double v) { last = v; },
        [&](bool finished) { completions.push_back(finished); });
    queue.advance(100ms);
    const double stoppedAt = last;
    animation->cancel();
    animation->cancel();
    queue.advance(200ms);
    EXPECT_EQ(last, stoppedAt);
    EXPECT_EQ(completions, std::vector<bool>{false});
}

TEST(AnimationWithoutTiming, JumpsToTheEndAtOnce) {
    double last = -1;
    bool done = false;
    Animation::start(
        0, 1, 200ms, [&](double v) { last = v; }, [&](bool finished) { done = finished; });
    EXPECT_EQ(last, 1);
    EXPECT_TRUE(done);
}

TEST(AnimationCurve, EaseInOutKeepsEndsAndIsSymmetric) {
    EXPECT_EQ(Animation::ease(AnimationCurve::EaseInOut, 0), 0);
    EXPECT_EQ(Animation::ease(AnimationCurve::EaseInOut, 1), 1);
    EXPECT_DOUBLE_EQ(Animation::ease(AnimationCurve::EaseInOut, 0.5), 0.5);
    EXPECT_DOUBLE_EQ(Animation::ease(AnimationCurve::EaseInOut, 0.25) +
                         Animation::ease(AnimationCurve::EaseInOut, 0.75),
                     1);
    EXPECT_EQ(Animation::ease(AnimationCurve::Linear, 2), 1);
}

using ViewAlphaTest = Timed;

TEST_F(ViewAlphaTest, TransparentOrNonInteractiveWidgetsTakeNoInput) {
    QWidget parent;
    parent.resize(100, 100);
    auto* under = new QWidget(&parent);
    under->setGeometry(parent.rect());
    auto* over = new QWidget(&parent);
    over->setGeometry(parent.rect());
    parent.show();
    EXPECT_EQ(parent.childAt(50, 50), over);

    setViewAlpha(over, 0.0);
    EXPECT_FALSE(takesInput(over));
    EXPECT_EQ(parent.childAt(50, 50), under);
    setViewAlpha(over, 0.5);
    EXPECT_EQ(parent.childAt(50, 50), over);
    setUserInteractionEnabled(over, false);
    EXPECT_EQ(parent.childAt(50, 50), under);
    setUserInteractionEnabled(over, true);
    setViewAlpha(over, 0.005);  // below the threshold counts as transparent
    EXPECT_EQ(parent.childAt(50, 50), under);
    setViewAlpha(over, 7);
    EXPECT_EQ(viewAlpha(over), 1.0);
    EXPECT_EQ(over->graphicsEffect(), nullptr);
}

TEST_F(ViewAlphaTest, ANewFadeInterruptsTheRunningOne) {
    QWidget widget;
    std::vector<std::string> log;
    fadeView(&widget, 0.0, 200ms,
             [&](bool finished) { log.push_back(finished ? "out done" : "out stopped"); });
    queue.advance(100ms);
    EXPECT_TRUE(isFading(&widget));
    fadeView(&widget, 1.0, 200ms,
             [&](bool finished) { log.push_back(finished ? "in done" : "in stopped"); });
    queue.advance(250ms);
    EXPECT_EQ(log, (std::vector<std::string>{"out stopped", "in done"}));
    EXPECT_EQ(viewAlpha(&widget), 1.0);
    EXPECT_FALSE(isFading(&widget));
}

TEST_F(ViewAlphaTest, AWidgetDestroyedMidFadeEndsItQuietly) {
    auto widget = std::make_unique<QWidget>();
    bool called = false;
    fadeView(widget.get(), 0.0, 200ms, [&](bool) { called = true; });
    widget.reset();
    queue.advance(300ms);
    EXPECT_FALSE(called);
    EXPECT_EQ(queue.pendingCount(), 0u);
}

TEST_F(ViewAlphaTest, SpinnerTurnsOnlyWhileItCanBeSeen) {
    QWidget parent;
    parent.resize(50, 50);
    auto* spinner = new ActivityIndicatorView(ActivityIndicatorViewStyle::WhiteLarge, &parent);
    EXPECT_EQ(spinner->size(), QSize(37, 37));
    EXPECT_TRUE(spinner->isHidden());  // hides when stopped by default
    spinner->setHidesWhenStopped(false);
    parent.show();
    spinner->startAnimating();
    const int start = spinner->phase();
    queue.advance(ActivityIndicatorView::kStepInterval * 3);
    EXPECT_EQ(spinner->phase(), (start + 3) % ActivityIndicatorView::kSpokeCount);

    setViewAlpha(&parent, 0.0);
    queue.advance(1s);
    EXPECT_EQ(queue.pendingCount(), 0u);  // no timer runs for an invisible spinner
    spinner->stopAnimating();
    EXPECT_FALSE(spinner->isHidden());
}

using CrossDissolve = Timed;

TEST_F(CrossDissolve, PresentationFadesInAndAppearsWhenTheFadeEnds) {
    Log log;
    Window window(defaultDeviceProfile());
    auto root = std::make_shared<LifecycleRecorder>("root", log, false);
    auto modal = std::make_shared<LifecycleRecorder>("modal", log, false);
    modal->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    window.setRootViewController(root);
    window.makeKeyAndVisible();
    log.clear();

    bool presented = false;
    root->presentViewController(modal, true, [&] { presented = true; });
    EXPECT_EQ(log, (Log{"modal.willAppear", "root.willDisappear"}));
    EXPECT_EQ(viewAlpha(modal->view()), 0.0);
    EXPECT_FALSE(presented);
    queue.advance(kCrossDissolveDuration / 2);
    EXPECT_GT(viewAlpha(modal->view()), 0.0);
    EXPECT_LT(viewAlpha(modal->view()), 1.0);
    queue.advance(kCrossDissolveDuration);
    EXPECT_TRUE(presented);
    EXPECT_EQ(viewAlpha(modal->view()), 1.0);
    EXPECT_EQ(log, (Log{"modal.willAppear", "root.willDisappear", "modal.didAppear",
                        "root.didDisappear"}));

    log.clear();
    bool dismissed = false;
    root->dismissViewControllerAnimated(true, [&] { dismissed = true; });
    EXPECT_EQ(log, (Log{"modal.willDisappear", "root.willAppear"}));
    EXPECT_TRUE(modal->view()->isVisible());
    queue.advance(kCrossDissolveDuration / 2);
    EXPECT_FALSE(dismissed);
    EXPECT_EQ(root->presentedViewController(), modal.get());
    queue.advance(kCrossDissolveDuration);
    EXPECT_TRUE(dismissed);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_FALSE(modal->view()->isVisible());
    EXPECT_EQ(log, (Log{"modal.willDisappear", "root.willAppear", "modal.didDisappear",
                        "root.didAppear"}));

    // Shown again without animation it comes back opaque at once.
    root->presentViewController(modal, false);
    EXPECT_EQ(viewAlpha(modal->view()), 1.0);
}

TEST_F(CrossDissolve, OtherStylesAndUnanimatedPresentationsDoNotWait) {
    Log log;
    Window window(defaultDeviceProfile());
    auto root = std::make_shared<LifecycleRecorder>("root", log, false);
    window.setRootViewController(root);
    window.makeKeyAndVisible();
    auto modal = std::make_shared<LifecycleRecorder>("modal", log, false);
    bool presented = false;
    root->presentViewController(modal, true, [&] { presented = true; });
    EXPECT_TRUE(presented);
    root->dismissViewControllerAnimated(true);
    auto dissolve = std::make_shared<LifecycleRecorder>("dissolve", log, false);
    dissolve->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    presented = false;
    root->presentViewController(dissolve, false, [&] { presented = true; });
    EXPECT_TRUE(presented);
    EXPECT_EQ(queue.pendingCount(), 0u);
}
