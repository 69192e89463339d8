#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LifecycleRecorder.h"
#include "platform/ui/UiTiming.h"
#include "platform/ui/ViewAlpha.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/ManualMainQueue.h"

using namespace qp;

using Log = LifecycleLog;

TEST(ViewController, LifecycleFollowsWindowAndModalPresentation) {
    Log log;
    Window window(defaultDeviceProfile());
    auto root = std::make_shared<LifecycleRecorder>("root", log);
    auto modal = std::make_shared<LifecycleRecorder>("modal", log);
    window.setRootViewController(root);
    window.makeKeyAndVisible();
    EXPECT_EQ(log, (Log{"root.load", "root.willAppear", "root.didAppear"}));

    log.clear();
    bool presentedDone = false;
    root->presentViewController(modal, true, [&] { presentedDone = true; });
    EXPECT_TRUE(presentedDone);
    EXPECT_EQ(root->presentedViewController(), modal.get());
    EXPECT_EQ(modal->presentingViewController(), root.get());
    EXPECT_EQ(log, (Log{"modal.load", "modal.willAppear", "root.willDisappear", "modal.didAppear",
                        "root.didDisappear"}));
    EXPECT_EQ(modal->view()->geometry(), window.rect());

    // A second presentation while one is showing is ignored.
    root->presentViewController(std::make_shared<LifecycleRecorder>("other", log), false);
    EXPECT_EQ(root->presentedViewController(), modal.get());

    log.clear();
    modal->dismissViewControllerAnimated(false);  // a presented controller may dismiss itself
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(modal->presentingViewController(), nullptr);
    EXPECT_EQ(log, (Log{"modal.willDisappear", "root.willAppear", "modal.didDisappear",
                        "root.didAppear"}));
    EXPECT_FALSE(modal->view()->isVisible());

    log.clear();
    modal->dismissViewControllerAnimated(false);  // nothing to dismiss
    EXPECT_TRUE(log.empty());
}

TEST(ViewController, PortraitOnly) {
    Log log;
    LifecycleRecorder vc("vc", log);
    EXPECT_TRUE(vc.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::Portrait));
    EXPECT_FALSE(vc.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::LandscapeLeft));
    EXPECT_EQ(vc.supportedInterfaceOrientations(), kInterfaceOrientationMaskPortrait);
}

// A fade in progress does not keep the screens it joins alive: dropping them
// mid-fade (a window closed, a test ending) releases both.
TEST(ViewController, ScreensDroppedMidFadeAreReleased) {
    ManualMainQueue queue;
    ScopedUiTiming timing(queue, queue.clock());
    Log log;
    for (const bool dismissing : {false, true}) {
        SCOPED_TRACE(dismissing ? "fading out" : "fading in");
        auto root = std::make_shared<LifecycleRecorder>("root", log);
        auto modal = std::make_shared<LifecycleRecorder>("modal", log);
        modal->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
        root->view();
        root->presentViewController(modal, true);
        if (dismissing) {
            queue.advance(kCrossDissolveDuration * 2);
            modal->dismissViewControllerAnimated(true);
        }
        ASSERT_TRUE(isFading(modal->view()));
        std::weak_ptr<ViewController> weakRoot = root;
        std::weak_ptr<ViewController> weakModal = modal;
        root.reset();
        modal.reset();
        EXPECT_TRUE(weakRoot.expired());
        EXPECT_TRUE(weakModal.expired());
        queue.advance(kCrossDissolveDuration * 2);  // nothing left to finish
    }
}
