#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Slider.h"
#include "platform/ui/UiTiming.h"
#include "support/ManualMainQueue.h"

using namespace qp;
using namespace std::chrono_literals;

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

QPixmap solid(int w, int h, QColor color) {
    QPixmap p(w, h);
    p.fill(color);
    return p;
}

QImage render(QWidget& w) {
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

}  // namespace

TEST(Slider, DragSendsValueChangesThenTouchUpInsideOrOutside) {
    QWidget host;
    host.resize(400, 400);
    auto* slider = new Slider(&host);
    slider->setGeometry(50, 50, 223, 30);  // 200 points of travel for a 23-point thumb
    slider->setMinimumValue(10);
    slider->setMaximumValue(30);
    slider->setValue(99);
    EXPECT_EQ(slider->value(), 30);  // clamped
    slider->setValue(10);
    std::vector<std::string> events;
    slider->addTargetForControlEvents(
        [&](Slider* s) { events.push_back("value " + std::to_string(int(s->value()))); },
        kControlEventValueChanged);
    slider->addTargetForControlEvents([&](Slider*) { events.push_back("up inside"); },
                                      kControlEventTouchUpInside);
    slider->addTargetForControlEvents([&](Slider*) { events.push_back("up outside"); },
                                      kControlEventTouchUpOutside);

    sendMouse(slider, QEvent::MouseButtonPress, {11.5, 15},
              Qt::LeftButton);                                          // the thumb at the minimum
    sendMouse(slider, QEvent::MouseMove, {111.5, 15}, Qt::LeftButton);  // half way
    sendMouse(slider, QEvent::MouseMove, {211.5, 15}, Qt::LeftButton);  // the end
    sendMouse(slider, QEvent::MouseButtonRelease, {211.5, 15}, Qt::NoButton);
    EXPECT_EQ(events, (std::vector<std::string>{"value 20", "value 30", "up inside"}));

    events.clear();
    sendMouse(slider, QEvent::MouseButtonPress, {211.5, 15}, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseButtonRelease, {211.5, 15 + 30 + Slider::kTouchSlop + 1},
              Qt::NoButton);
    EXPECT_EQ(events, (std::vector<std::string>{"up outside"}));  // no change, so no value event

    // Not continuous: one value event when the finger lifts.
    slider->setContinuous(false);
    events.clear();
    sendMouse(slider, QEvent::MouseButtonPress, {211.5, 15}, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseMove, {111.5, 15}, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseMove, {11.5, 15}, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseButtonRelease, {11.5, 15}, Qt::NoButton);
    EXPECT_EQ(events, (std::vector<std::string>{"value 10", "up inside"}));
}

TEST(Slider, UprightRotationStandsItOnEndWithTheMinimumAtTheBottom) {
    QWidget host;
    host.resize(400, 400);
    auto* slider = new Slider(&host);
    slider->setGeometry(100, 185, 223, 30);  // centre (211.5, 200)
    slider->setMaximumValue(100);
    slider->setRotation(4.712389);
    EXPECT_EQ(slider->size(), QSize(30, 223));
    EXPECT_NEAR(slider->geometry().center().x(), 211, 1);
    EXPECT_NEAR(slider->geometry().center().y(), 200, 1);
    EXPECT_EQ(slider->boundsSize(), (Size{223, 30}));
    EXPECT_NEAR(slider->valueAtPoint({15, 223 - 11.5}), 0, 0.01);  // bottom
    EXPECT_NEAR(slider->valueAtPoint({15, 11.5}), 100, 0.01);      // top
    EXPECT_NEAR(slider->valueAtPoint({15, 111.5}), 50, 0.01);

    // Drawn upright: the thumb sits at the bottom for the minimum.
    slider->setThumbImageForState(solid(23, 23, Qt::red), ControlState::Normal);
    slider->setMinimumTrackImage(solid(20, 9, Qt::blue), 8, 0);
    slider->setMaximumTrackImage(solid(20, 9, Qt::blue), 8, 0);
    slider->setValue(0);
    const QImage image = render(*slider);
    EXPECT_EQ(QColor(image.pixel(15, 223 - 11)), QColor(Qt::red));
    EXPECT_EQ(QColor(image.pixel(15, 100)), QColor(Qt::blue));
    EXPECT_EQ(qAlpha(image.pixel(2, 100)), 0);
}

TEST(Button, ImagesPerStateTagsAndTouchUpInside) {
    QWidget host;
    host.resize(200, 200);
    auto* button = new Button(&host);
    button->setGeometry(10, 10, 50, 50);
    button->setTag(1003);
    EXPECT_EQ(button->tag(), 1003);
    EXPECT_EQ(viewWithTag(&host, 1003), button);

    button->setImageForState(solid(4, 4, Qt::green), ControlState::Normal);
    button->setImageForState(solid(4, 4, Qt::yellow), ControlState::Selected);
    EXPECT_EQ(button->imageForState(ControlState::Highlighted).toImage().pixelColor(0, 0),
              QColor(Qt::green));
    button->setSelectedState(true);
    EXPECT_EQ(button->currentState(), ControlState::Selected);
    EXPECT_EQ(QColor(render(*button).pixel(25, 25)), QColor(Qt::yellow));
    button->setEnabled(false);
    EXPECT_EQ(button->currentState(), ControlState::Disabled);
    button->setEnabled(true);

    std::vector<int> inside;
    int outside = 0;
    button->addTargetForControlEvents([&](Button* b) { inside.push_back(b->tag()); },
                                      kControlEventTouchUpInside);
    button->addTargetForControlEvents([&](Button*) { ++outside; }, kControlEventTouchUpOutside);
    host.show();
    sendMouse(button, QEvent::MouseButtonPress, {25, 25}, Qt::LeftButton);
    sendMouse(button, QEvent::MouseButtonRelease, {25, 25}, Qt::NoButton);
    sendMouse(button, QEvent::MouseButtonPress, {25, 25}, Qt::LeftButton);
    sendMouse(button, QEvent::MouseMove, {150, 150}, Qt::LeftButton);
    sendMouse(button, QEvent::MouseButtonRelease, {150, 150}, Qt::NoButton);
    EXPECT_EQ(inside, std::vector<int>{1003});
    EXPECT_EQ(outside, 1);
}

TEST(ScrollView, StripScrollsRectsIntoViewAndKeepsItsSettings) {
    ManualMainQueue queue;
    ScopedUiTiming timing(queue, queue.clock());
    ScrollView strip;
    strip.setShowsHorizontalScrollIndicator(true);
    strip.setShowsVerticalScrollIndicator(false);
    strip.resize(300, 60);
    strip.setContentSize({500, 60});
    strip.setPagingEnabled(false);
    strip.setBounces(true);
    strip.setScrollsToTop(false);
    strip.show();
    EXPECT_EQ(strip.contentSize(), (Size{500, 60}));
    EXPECT_FALSE(strip.scrollsToTop());
    EXPECT_EQ(strip.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    // Already visible: no movement.
    strip.scrollRectToVisibleAnimated(Rect(10, 0, 50, 50), false);
    EXPECT_EQ(strip.contentOffset(), (Point{0, 0}));
    // Beyond the right edge: just far enough for its right side to show.
    strip.scrollRectToVisibleAnimated(Rect(392, 3, 62, 50), false);
    EXPECT_EQ(strip.contentOffset().x, 454 - strip.viewport()->width());
    // Back to the start, animated over the toolkit's clock.
    strip.scrollRectToVisibleAnimated(Rect(0, 0, 50, 50), true);
    EXPECT_GT(strip.contentOffset().x, 0);
    queue.advance(ScrollView::kScrollAnimationDuration + 20ms);
    EXPECT_EQ(strip.contentOffset(), (Point{0, 0}));
    // Offsets stay inside the content.
    strip.setContentOffsetAnimated({9999, 0}, false);
    EXPECT_EQ(strip.contentOffset().x, 500 - strip.viewport()->width());
}
