#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <chrono>
#include <memory>

#include "platform/DeviceProfile.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ModalLayer.h"
#include "platform/ui/UiTiming.h"
#include "platform/ui/ViewAlpha.h"
#include "platform/ui/ViewFrame.h"
#include "support/ManualMainQueue.h"
#include "ui/RoundProgressView.h"
#include "ui/Throbber.h"

using namespace qp;
using namespace std::chrono_literals;

namespace {

class ThrobberTest : public testing::Test {
protected:
    void SetUp() override {
        setCurrentDeviceProfile(*deviceProfileNamed("iphone-retina"));
        window = std::make_unique<QWidget>();
        window->setFixedSize(320, 480);
        beneath = new QWidget(window.get());
        beneath->setGeometry(window->rect());
        window->show();
    }
    void TearDown() override {
        window.reset();
        setCurrentDeviceProfile(defaultDeviceProfile());
    }

    Throbber* makeShared(std::int32_t mode = 0, const QString& title = {}) {
        return Throbber::defaultThrobberOnViewWithTitleDetailsDisplayModeBlockNavigation(
            window.get(), title, {}, mode, true);
    }

    ManualMainQueue queue;
    ScopedUiTiming timing{queue, queue.clock()};
    std::unique_ptr<QWidget> window;
    QWidget* beneath = nullptr;
};

Rect frameIn(const QWidget* view) {
    return viewFrame(view);
}

}  // namespace

TEST_F(ThrobberTest, SharedOverlayOnAWindowCoversTheScreenBelowTheStatusBar) {
    Throbber* throbber = makeShared();
    ASSERT_NE(throbber, nullptr);
    EXPECT_EQ(Throbber::defaultThrobber(), throbber);
    EXPECT_EQ(throbber->parentWidget(), window.get());
    EXPECT_EQ(frameIn(throbber), Rect(0, 20, 320, 460));
    EXPECT_EQ(frameIn(throbber->contentView()), Rect(100, 170, 120, 120));
    EXPECT_EQ(viewAlpha(throbber), 0.0);
    EXPECT_FLOAT_EQ(throbber->opacity(), 0.8f);
    EXPECT_EQ(throbber->orientation(), 1);
    EXPECT_EQ(throbber->showCount(), 0);
    EXPECT_TRUE(throbber->blockNavigation());
}

TEST_F(ThrobberTest, SharedOverlayIsReusedOnTheSameViewAndReplacedOnAnother) {
    QPointer<Throbber> first = makeShared();
    EXPECT_EQ(makeShared(1, "again"), first.data());
    EXPECT_EQ(first->title(), "again");
    int overlays = 0;
    for (QObject* child : window->children()) overlays += dynamic_cast<Throbber*>(child) != nullptr;
    EXPECT_EQ(overlays, 1);

    auto* other = new QWidget(window.get());
    other->resize(200, 100);
    Throbber* second = Throbber::defaultThrobberOnViewWithTitleDetailsDisplayModeBlockNavigation(
        other, "t", "d", 0, false);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(second->parentWidget(), other);
    // Not on a window: it fills its view and does not block.
    EXPECT_EQ(frameIn(second), Rect(0, 0, 200, 100));
    EXPECT_FALSE(takesInput(second));

    EXPECT_EQ(Throbber::defaultThrobberOnViewWithTitleDetailsDisplayModeBlockNavigation(
                  nullptr, {}, {}, 0, true),
              nullptr);
    EXPECT_EQ(Throbber::defaultThrobber(), nullptr);
}

TEST_F(ThrobberTest, ModesShowTheirIndicatorsAndLabels) {
    struct Case {
        std::int32_t mode;
        bool withCustom;
        bool spinner, pie, custom, labels;
    };
    const Case cases[] = {
        {0, false, true, false, false, true},  {0, true, true, false, false, true},
        {1, false, false, true, false, true},  {2, true, false, true, false, true},
        {3, false, false, true, false, true},  {4, false, false, true, false, true},
        {4, true, false, false, true, false},  {7, true, false, false, true, false},
        {-1, true, false, false, true, false},  // compared without sign: above 4
        {-1, false, false, true, false, true},
    };
    for (const Case& c : cases) {
        Throbber throbber(Rect(0, 0, 200, 200));
        if (c.withCustom) throbber.setCustomView(new QWidget);
        throbber.setMode(c.mode);
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " custom " << c.withCustom);
        EXPECT_EQ(!throbber.activityView()->isHidden(), c.spinner);
        EXPECT_EQ(throbber.activityView()->isAnimating(), c.spinner);
        EXPECT_EQ(!throbber.progressView()->isHidden(), c.pie);
        if (c.withCustom) {
            EXPECT_EQ(!throbber.customView()->isHidden(), c.custom);
        }
        EXPECT_EQ(!throbber.titleLabel()->isHidden(), c.labels);
        EXPECT_EQ(!throbber.detailsLabel()->isHidden(), c.labels);
    }
}

TEST_F(ThrobberTest, ModeThreeKeepsTheLabelsAsTheyWere) {
    Throbber throbber(Rect(0, 0, 200, 200));
    auto* custom = new QWidget;
    custom->resize(20, 20);
    throbber.setCustomView(custom);
    throbber.setMode(4);
    throbber.setMode(3);
    EXPECT_FALSE(custom->isHidden());
    EXPECT_TRUE(throbber.titleLabel()->isHidden());
    EXPECT_TRUE(throbber.detailsLabel()->isHidden());
    EXPECT_EQ(custom->parentWidget(), throbber.contentView());
    EXPECT_EQ(frameIn(custom).center(), (Point{60, 60}));

    // Replacing the custom view in mode 3 shows the new one and lets go of the old.
    auto* next = new QWidget;
    throbber.setCustomView(next);
    EXPECT_EQ(custom->parentWidget(), nullptr);
    EXPECT_FALSE(next->isHidden());
    delete custom;

    // Given in a mode without one, a custom view waits hidden.
    throbber.setMode(0);
    auto* waiting = new QWidget;
    throbber.setCustomView(waiting);
    EXPECT_TRUE(waiting->isHidden());
    EXPECT_FALSE(throbber.activityView()->isHidden());
}

TEST_F(ThrobberTest, EmptyLabelsLeaveTheSpinnerCentred) {
    Throbber* throbber = makeShared();
    EXPECT_EQ(frameIn(throbber->activityView()), Rect(41.5, 41.5, 37, 37));
    EXPECT_EQ(frameIn(throbber->titleLabel()), Rect(0, 60, 120, 0));
    EXPECT_EQ(frameIn(throbber->detailsLabel()), Rect(0, 60, 120, 0));
}

TEST_F(ThrobberTest, LoadingTitleSitsBelowTheSpinnerAndBothAreCentred) {
    Throbber* throbber = makeShared();
    throbber->titleLabel()->setLabelFont(boldSystemFontOfSize(10));
    throbber->titleLabel()->setNumberOfLines(0);
    throbber->titleLabel()->setLineBreakMode(LineBreakMode::WordWrap);
    throbber->setTitle("\nloading content");
    EXPECT_TRUE(throbber->activityView()->isAnimating());

    const Rect spinner = frameIn(throbber->activityView());
    const Rect title = frameIn(throbber->titleLabel());
    // Two lines of text: the second one holds the words.
    const double lineHeight = Label::measureText("x", throbber->titleLabel()->labelFont(),
                                                 LineBreakMode::WordWrap, Size{120, 120})
                                  .height;
    EXPECT_GT(title.height(), 1.5 * lineHeight);
    // 25 below the spinner's centre before the shift, and the stack centred.
    EXPECT_DOUBLE_EQ(title.minY() - spinner.midY(), 25);
    EXPECT_NEAR((spinner.minY() + title.maxY()) / 2, 60, 1e-4);
    EXPECT_LT(spinner.midY(), 60);
}

TEST_F(ThrobberTest, DetailsSit25BelowTheTitleWhateverItsHeight) {
    for (const QString& title :
         {QString("one"), QString("a title long enough to wrap onto lines")}) {
        Throbber* throbber = makeShared();
        throbber->titleLabel()->setLineBreakMode(LineBreakMode::WordWrap);
        throbber->setTitle(title);
        throbber->setDetails("details");
        const Rect titleFrame = frameIn(throbber->titleLabel());
        const Rect details = frameIn(throbber->detailsLabel());
        EXPECT_DOUBLE_EQ(details.minY() - titleFrame.minY(), 25) << title.toStdString();
        const Rect spinner = frameIn(throbber->activityView());
        EXPECT_NEAR((spinner.minY() + std::max(details.maxY(), titleFrame.maxY())) / 2, 60, 1e-4);
    }
}

TEST_F(ThrobberTest, ShowAndDismissFadeOverAFifthOfASecond) {
    Throbber* throbber = makeShared();
    throbber->show();
    EXPECT_STREQ(throbber->runningAnimation(), kThrobberShowAnimation);
    queue.advance(100ms);
    EXPECT_GT(viewAlpha(throbber), 0.2);
    EXPECT_LT(viewAlpha(throbber), 0.8);
    queue.advance(120ms);
    EXPECT_EQ(viewAlpha(throbber), 1.0);
    EXPECT_STREQ(throbber->runningAnimation(), "");

    int performed = 0;
    throbber->dismiss([&](Throbber& t) {
        EXPECT_EQ(&t, throbber);
        EXPECT_EQ(viewAlpha(&t), 0.0);
        ++performed;
    });
    EXPECT_STREQ(throbber->runningAnimation(), kThrobberDismissAnimation);
    queue.advance(150ms);
    EXPECT_EQ(performed, 0);
    queue.advance(100ms);
    EXPECT_EQ(performed, 1);
    // Dismissing never removes the overlay.
    EXPECT_EQ(throbber->parentWidget(), window.get());
    EXPECT_FALSE(throbber->isHidden());
}

// While the overlay can be seen it holds the window's keys and has nothing
// for Escape to cancel; faded out, it lets them through to the screens.
TEST_F(ThrobberTest, TheShownOverlayHoldsTheKeysWithoutACancel) {
    Throbber* throbber = makeShared();
    EXPECT_EQ(topModalLayer(window.get()), nullptr);
    throbber->show();
    queue.advance(50ms);
    const ModalLayerBehaviour* layer = topModalLayer(window.get());
    ASSERT_NE(layer, nullptr);
    EXPECT_FALSE(layer->cancel);
    throbber->dismiss();
    queue.advance(100ms);
    EXPECT_NE(topModalLayer(window.get()), nullptr);  // still fading
    queue.advance(200ms);
    EXPECT_EQ(topModalLayer(window.get()), nullptr);
}

TEST_F(ThrobberTest, ShowBringsTheOverlayToTheFront) {
    Throbber* throbber = makeShared();
    auto* later = new QWidget(window.get());
    later->setGeometry(window->rect());
    later->show();
    throbber->show();
    EXPECT_EQ(window->children().last(), throbber);
}

TEST_F(ThrobberTest, RetainAndReleaseCountShows) {
    Throbber* throbber = makeShared();
    throbber->showAndRetain();
    throbber->showAndRetain();
    queue.advance(300ms);
    throbber->dismissAndRelease();
    queue.advance(300ms);
    EXPECT_EQ(viewAlpha(throbber), 1.0);
    EXPECT_EQ(throbber->showCount(), 1);
    throbber->dismissAndRelease();
    queue.advance(300ms);
    EXPECT_EQ(viewAlpha(throbber), 0.0);
    EXPECT_EQ(throbber->showCount(), 0);

    // Released once too often: −1, and the next retain shows nothing.
    throbber->dismissAndRelease();
    EXPECT_EQ(throbber->showCount(), -1);
    throbber->showAndRetain();
    queue.advance(300ms);
    EXPECT_EQ(throbber->showCount(), 0);
    EXPECT_EQ(viewAlpha(throbber), 0.0);

    // dismiss resets the balance.
    throbber->showAndRetain();
    throbber->showAndRetain();
    throbber->dismiss();
    queue.advance(300ms);
    EXPECT_EQ(throbber->showCount(), 0);
    EXPECT_EQ(viewAlpha(throbber), 0.0);
}

TEST_F(ThrobberTest, ClicksPassThroughWhileHiddenAndStopWhileShownBlocking) {
    Throbber* throbber = makeShared();
    const QPoint point(160, 240);
    EXPECT_EQ(window->childAt(point), beneath);  // transparent, even though it blocks

    throbber->show();
    queue.advance(300ms);
    QWidget* hit = window->childAt(point);
    ASSERT_NE(hit, nullptr);
    EXPECT_TRUE(hit == throbber || throbber->isAncestorOf(hit));
    // The status bar strip stays reachable.
    EXPECT_EQ(window->childAt(QPoint(160, 10)), beneath);

    throbber->setBlockNavigation(false);
    EXPECT_EQ(window->childAt(point), beneath);

    throbber->setBlockNavigation(true);
    throbber->dismiss();
    queue.advance(300ms);
    EXPECT_EQ(window->childAt(point), beneath);
}

TEST_F(ThrobberTest, OrientationCallbackTakesOnlyNewValidOrientations) {
    Throbber* throbber = makeShared();
    throbber->changeOrientationCallback(7);
    EXPECT_EQ(throbber->orientation(), 1);
    throbber->changeOrientationCallback(3);
    EXPECT_EQ(throbber->orientation(), 3);
    EXPECT_EQ(frameIn(throbber), Rect(0, 0, 300, 480));
    EXPECT_NEAR(throbber->contentRotation(), 1.5707963, 1e-6);
}

TEST_F(ThrobberTest, DrawsOnlyTheDarkRoundedBox) {
    Throbber* throbber = makeShared(1);
    throbber->setProgress(0.25f);
    EXPECT_FLOAT_EQ(throbber->progressView()->progress(), 0.25f);
    setViewAlpha(throbber, 1.0);
    QImage image(throbber->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    throbber->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRect box = throbber->contentView()->geometry();
    EXPECT_EQ(qAlpha(image.pixel(10, 10)), 0);                                   // outside the box
    EXPECT_EQ(qAlpha(image.pixel(box.left() + 1, box.top() + 1)), 0);            // cut corner
    EXPECT_NEAR(qAlpha(image.pixel(box.left() + 5, box.center().y())), 204, 2);  // 0.8 black
    EXPECT_EQ(qRed(image.pixel(box.left() + 5, box.center().y())), 0);
}
