#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/PopoverController.h"
#include "platform/ui/UiTiming.h"
#include "platform/ui/ViewController.h"
#include "support/ManualMainQueue.h"

using namespace qp;
using namespace std::chrono_literals;

namespace {

struct RecordingDelegate : PopoverControllerDelegate {
    bool allow = true;
    std::vector<std::string> calls;
    std::unique_ptr<PopoverController>* owner = nullptr;
    bool popoverControllerShouldDismissPopover(PopoverController&) override {
        calls.push_back("should");
        return allow;
    }
    void popoverControllerDidDismissPopover(PopoverController&) override {
        calls.push_back("did");
        if (owner) owner->reset();  // the editor lets go of its popover here
    }
};

void clickAt(QWidget* window, QPoint at) {
    QWidget* target = window->childAt(at);
    ASSERT_NE(target, nullptr);
    const QPointF local = target->mapFrom(window, QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, window->mapToGlobal(QPointF(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

class PopoverTest : public testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();
        window->resize(768, 1024);
        screen = new QWidget(window.get());
        screen->setGeometry(window->rect());
        window->show();
    }
    ManualMainQueue queue;
    ScopedUiTiming timing{queue, queue.clock()};
    std::unique_ptr<QWidget> window;
    QWidget* screen = nullptr;
};

}  // namespace

TEST_F(PopoverTest, SitsRightOfTheAnchorForALeftArrow) {
    const auto [frame, arrow] =
        popoverPlacement(Rect(284, 180, 100, 500), Size{320, 480}, Rect(0, 0, 768, 1024),
                         kPopoverArrowDirectionLeft, PopoverController::kArrowSize);
    EXPECT_EQ(arrow, kPopoverArrowDirectionLeft);
    EXPECT_EQ(frame.minX(), 384);
    EXPECT_DOUBLE_EQ(frame.midY(), 430);
    // Too close to the bottom: kept on screen.
    const auto low =
        popoverPlacement(Rect(284, 900, 100, 100), Size{320, 480}, Rect(0, 0, 768, 1024),
                         kPopoverArrowDirectionLeft, PopoverController::kArrowSize);
    EXPECT_LE(low.first.maxY(), 1024);
    // Any direction picks the first that fits.
    const auto right =
        popoverPlacement(Rect(600, 180, 100, 100), Size{320, 480}, Rect(0, 0, 768, 1024),
                         kPopoverArrowDirectionAny, PopoverController::kArrowSize);
    EXPECT_EQ(right.second, kPopoverArrowDirectionRight);
}

TEST_F(PopoverTest, ATapOutsideAsksTheDelegateAndReportsOnlyThatDismissal) {
    auto content = std::make_shared<ViewController>("");
    auto popover = std::make_unique<PopoverController>(content);
    RecordingDelegate delegate;
    popover->setDelegate(&delegate);
    popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        Rect(284, 180, 100, 500), screen, kPopoverArrowDirectionLeft, true);
    queue.advance(300ms);
    ASSERT_TRUE(popover->isPopoverVisible());
    EXPECT_TRUE(content->isOnScreen());
    EXPECT_TRUE(window->isAncestorOf(content->view()));

    // A click on the panel itself is no tap outside.
    const Rect frame = popover->panelFrame();
    clickAt(window.get(), QPoint(int(frame.midX()), int(frame.midY())));
    EXPECT_TRUE(delegate.calls.empty());

    delegate.allow = false;
    clickAt(window.get(), QPoint(50, 50));
    EXPECT_EQ(delegate.calls, std::vector<std::string>{"should"});
    EXPECT_TRUE(popover->isPopoverVisible());

    delegate.allow = true;
    delegate.calls.clear();
    delegate.owner = &popover;
    clickAt(window.get(), QPoint(50, 50));
    EXPECT_EQ(delegate.calls, std::vector<std::string>{"should"});
    EXPECT_EQ(window->childAt(QPoint(50, 50)), screen);  // clicks reach the screen during the fade
    queue.advance(300ms);
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"should", "did"}));
    EXPECT_EQ(popover, nullptr);
    EXPECT_FALSE(content->isOnScreen());
    EXPECT_EQ(content->view()->parent(), nullptr);
}

TEST_F(PopoverTest, DismissingInCodeTellsNoDelegate) {
    auto content = std::make_shared<ViewController>("");
    PopoverController popover(content);
    RecordingDelegate delegate;
    popover.setDelegate(&delegate);
    popover.presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        Rect(10, 10, 10, 10), screen, kPopoverArrowDirectionAny, false);
    popover.dismissPopoverAnimated(false);
    EXPECT_FALSE(popover.isPopoverVisible());
    EXPECT_TRUE(delegate.calls.empty());
    EXPECT_EQ(window->childAt(QPoint(50, 50)), screen);
}
