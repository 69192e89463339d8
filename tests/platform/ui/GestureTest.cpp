#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTouchEvent>
#include <QWheelEvent>
#include <QWidget>

#include <chrono>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/PinchGestureRecognizer.h"
#include "platform/ui/RotationGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TouchesBeganHook.h"
#include "platform/ui/UiTiming.h"
#include "support/ManualMainQueue.h"

using namespace qp;
using namespace std::chrono_literals;
using State = GestureRecognizerState;

namespace {

// Feeds a widget the events a person's mouse, wheel or fingers would make.
class Input {
public:
    explicit Input(QWidget* view) : m_view(view) {}

    void press(QPointF at, Qt::MouseButton button = Qt::LeftButton) {
        m_buttons |= button;
        mouse(QEvent::MouseButtonPress, at, button);
    }
    void move(QPointF at) { mouse(QEvent::MouseMove, at, Qt::NoButton); }
    void release(QPointF at, Qt::MouseButton button = Qt::LeftButton) {
        m_buttons &= ~button;
        mouse(QEvent::MouseButtonRelease, at, button);
    }
    void doubleClick(QPointF at) {
        press(at);
        release(at);
        m_buttons |= Qt::LeftButton;
        mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton);
        release(at);
    }
    void drag(QPointF from, QPointF to, int steps = 4, Qt::MouseButton button = Qt::LeftButton) {
        press(from, button);
        for (int i = 1; i <= steps; ++i) move(from + (to - from) * i / steps);
        release(to, button);
    }
    void wheel(double notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               QPointF at = {50, 50}) {
        QWheelEvent event(at, m_view->mapToGlobal(at), QPoint(),
                          QPoint(0, static_cast<int>(notches * 120)), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_view, &event);
    }
    void touch(QEvent::Type type, const std::vector<QPointF>& points) {
        QList<QEventPoint> list;
        int id = 0;
        for (const QPointF& p : points) {
            const QEventPoint::State state = type == QEvent::TouchBegin ? QEventPoint::Pressed
                                             : type == QEvent::TouchEnd ? QEventPoint::Released
                                                                        : QEventPoint::Updated;
            list.append(QEventPoint(id++, state, p, m_view->mapToGlobal(p)));
        }
        QTouchEvent event(type, QPointingDevice::primaryPointingDevice(), Qt::NoModifier, list);
        QApplication::sendEvent(m_view, &event);
    }

private:
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button) {
        QMouseEvent event(type, at, m_view->mapToGlobal(at), button, m_buttons, Qt::NoModifier);
        QApplication::sendEvent(m_view, &event);
    }

    QWidget* m_view;
    Qt::MouseButtons m_buttons;
};

struct Together : GestureRecognizerDelegate {
    bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
        GestureRecognizer&, GestureRecognizer&) override {
        return true;
    }
};

class GestureTest : public testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<QWidget>();
        view->resize(100, 100);
        view->show();
    }
    ManualMainQueue queue;
    ScopedUiTiming timing{queue, queue.clock()};
    std::unique_ptr<QWidget> view;
};

}  // namespace

TEST_F(GestureTest, LeftDragPansAndTheHandlerCanZeroTheTranslation) {
    std::vector<State> states;
    Point moved;
    auto* pan = new PanGestureRecognizer([&](PanGestureRecognizer& g) {
        states.push_back(g.state());
        const Point t = g.translationInView(nullptr);
        moved.x += t.x;
        moved.y += t.y;
        g.setTranslationInView({0, 0}, nullptr);
    });
    pan->attachToView(view.get());
    EXPECT_EQ(pan->parent(), view.get());

    Input input(view.get());
    input.drag({10, 10}, {40, 30});
    EXPECT_EQ(states.front(), State::Began);
    EXPECT_EQ(states.back(), State::Ended);
    EXPECT_DOUBLE_EQ(moved.x, 30);  // summed steps equal the whole drag
    EXPECT_DOUBLE_EQ(moved.y, 20);

    // A press that barely moves is no pan; a later drag pans again.
    states.clear();
    input.drag({10, 10}, {12, 11});
    EXPECT_TRUE(states.empty());
    input.drag({10, 10}, {20, 10});
    EXPECT_EQ(states.front(), State::Began);
}

TEST_F(GestureTest, WheelPinchesAndEndsWhenTheWheelRests) {
    std::vector<std::pair<State, double>> seen;
    auto* pinch = new PinchGestureRecognizer([&](PinchGestureRecognizer& g) {
        seen.emplace_back(g.state(), g.scale());
        g.setScale(1);
    });
    pinch->attachToView(view.get());
    Input input(view.get());
    input.wheel(1);
    input.wheel(-2);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, State::Began);
    EXPECT_DOUBLE_EQ(seen[0].second, 1.1);
    EXPECT_EQ(seen[1].first, State::Changed);
    EXPECT_DOUBLE_EQ(seen[1].second, 1 / (1.1 * 1.1));
    queue.advance(WheelGestureTimer::kRestInterval - 10ms);
    EXPECT_EQ(pinch->state(), State::Changed);
    queue.advance(20ms);
    EXPECT_EQ(seen.back().first, State::Ended);
    // Shift+wheel belongs to rotation.
    input.wheel(1, Qt::ShiftModifier);
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(GestureTest, ShiftWheelAndRightDragRotate) {
    std::vector<std::pair<State, double>> seen;
    auto* rotation = new RotationGestureRecognizer([&](RotationGestureRecognizer& g) {
        seen.emplace_back(g.state(), g.rotation());
        g.setRotation(0);
    });
    rotation->attachToView(view.get());
    Input input(view.get());
    input.wheel(2, Qt::ShiftModifier);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NEAR(seen[0].second, 2 * RotationGestureRecognizer::kWheelRadiansPerNotch, 1e-12);
    queue.advance(1s);
    EXPECT_EQ(seen.back().first, State::Ended);

    // A quarter turn clockwise around the centre (50, 50), from the right to below.
    seen.clear();
    input.press({90, 50}, Qt::RightButton);
    for (int deg = 10; deg <= 90; deg += 10) {
        const double a = deg * std::numbers::pi / 180;
        input.move({50 + 40 * std::cos(a), 50 + 40 * std::sin(a)});
    }
    input.release({50, 90}, Qt::RightButton);
    double total = 0;
    for (auto& [state, r] : seen) total += r;
    EXPECT_NEAR(total, std::numbers::pi / 2, 1e-9);
    EXPECT_EQ(seen.back().first, State::Ended);
}

TEST_F(GestureTest, DoubleClickIsADoubleTapWithItsLocation) {
    std::vector<Point> taps;
    auto* tap = new TapGestureRecognizer([&](TapGestureRecognizer& g) {
        EXPECT_EQ(g.state(), State::Ended);
        taps.push_back(g.locationInView(nullptr));
    });
    tap->setNumberOfTapsRequired(2);
    tap->attachToView(view.get());
    Input input(view.get());
    input.press({20, 30});
    input.release({20, 30});
    EXPECT_TRUE(taps.empty());  // one click is not enough
    input.doubleClick({20, 30});
    ASSERT_EQ(taps.size(), 1u);
    EXPECT_EQ(taps[0], (Point{20, 30}));
    // A drag is not a tap.
    input.drag({20, 30}, {60, 30});
    EXPECT_EQ(taps.size(), 1u);
}

TEST_F(GestureTest, TouchTapsCountWhenTheyFollowClosely) {
    int taps = 0;
    auto* tap = new TapGestureRecognizer([&](TapGestureRecognizer&) { ++taps; });
    tap->setNumberOfTapsRequired(2);
    tap->attachToView(view.get());
    Input input(view.get());
    auto touchTap = [&] {
        input.touch(QEvent::TouchBegin, {{20, 20}});
        input.touch(QEvent::TouchEnd, {{20, 20}});
    };
    touchTap();
    queue.advance(TapGestureRecognizer::kDoubleTapInterval + 1ms);
    touchTap();  // too late: starts a new count
    EXPECT_EQ(taps, 0);
    queue.advance(100ms);
    touchTap();
    EXPECT_EQ(taps, 1);
}

TEST_F(GestureTest, RecognizersOnOneViewExcludeEachOtherUnlessTheDelegateAllows) {
    int pans = 0;
    int pinches = 0;
    auto* pan = new PanGestureRecognizer([&](PanGestureRecognizer&) { ++pans; });
    auto* pinch = new PinchGestureRecognizer([&](PinchGestureRecognizer&) { ++pinches; });
    pan->attachToView(view.get());
    pinch->attachToView(view.get());
    Input input(view.get());
    input.press({10, 10});
    input.move({30, 10});  // the pan begins
    input.wheel(1);        // the pinch may not join it
    EXPECT_EQ(pinches, 0);
    EXPECT_EQ(pinch->state(), State::Failed);
    input.release({30, 10});

    Together together;
    pan->setDelegate(&together);
    input.press({10, 10});
    input.move({30, 10});
    input.wheel(1);
    EXPECT_EQ(pinches, 1);
    EXPECT_GT(pans, 0);
    input.release({30, 10});
}

TEST_F(GestureTest, TwoFingersPinchAndRotateTogether) {
    Together together;
    double scale = 0;
    double turned = 0;
    auto* pinch = new PinchGestureRecognizer([&](PinchGestureRecognizer& g) { scale = g.scale(); });
    auto* rotation =
        new RotationGestureRecognizer([&](RotationGestureRecognizer& g) { turned = g.rotation(); });
    pinch->setDelegate(&together);
    rotation->setDelegate(&together);
    pinch->attachToView(view.get());
    rotation->attachToView(view.get());
    Input input(view.get());
    input.touch(QEvent::TouchBegin, {{40, 50}, {60, 50}});
    input.touch(QEvent::TouchUpdate, {{35, 50}, {65, 50}});
    // Spread to 40 apart and turned a quarter.
    input.touch(QEvent::TouchUpdate, {{50, 30}, {50, 70}});
    EXPECT_DOUBLE_EQ(scale, 2.0);
    EXPECT_NEAR(turned, std::numbers::pi / 2, 1e-9);
    input.touch(QEvent::TouchEnd, {{50, 30}, {50, 70}});
    EXPECT_EQ(pinch->state(), State::Ended);
    EXPECT_EQ(rotation->state(), State::Ended);
}

TEST_F(GestureTest, TouchesBeganHookRunsBeforeTheRecognizers) {
    std::vector<std::string> order;
    TouchesBeganHook::install(
        view.get(), [&](Point at) { order.push_back("hook " + std::to_string(int(at.x))); });
    auto* pan = new PanGestureRecognizer([&](PanGestureRecognizer& g) {
        if (g.state() == State::Began) order.push_back("pan");
    });
    pan->attachToView(view.get());
    Input input(view.get());
    input.drag({10, 10}, {40, 10});
    EXPECT_EQ(order, (std::vector<std::string>{"hook 10", "pan"}));
}

TEST_F(GestureTest, AnUnattachedPinchCarriesAScaleForDirectUse) {
    PinchGestureRecognizer pinch;
    pinch.setScale(0.5);
    EXPECT_EQ(pinch.scale(), 0.5);
    EXPECT_EQ(pinch.view(), nullptr);
    EXPECT_EQ(pinch.state(), State::Possible);
}
