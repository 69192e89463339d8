#pragma once
// Gesture recognizers with the phone's semantics, fed by desktop input: each
// watches one widget, turns its mouse, wheel and touch events into a gesture
// and calls its action as the gesture begins, changes and ends.
//
// Desktop mapping: left drag = pan; wheel = pinch; Shift+wheel or right drag
// = rotation; double click = double tap; touch screens give real touches.
// Recognizers on the same widget exclude each other unless a delegate allows
// them to run together.

#include <QObject>

#include <functional>
#include <vector>

#include "platform/Geometry.h"

class QTouchEvent;
class QWidget;

namespace qp {

class GestureRecognizer;

enum class GestureRecognizerState { Possible, Began, Changed, Ended, Cancelled, Failed };
inline constexpr GestureRecognizerState kGestureRecognizerStateRecognized =
    GestureRecognizerState::Ended;

class GestureRecognizerDelegate {
public:
    virtual ~GestureRecognizerDelegate() = default;
    virtual bool gestureRecognizerShouldBegin(GestureRecognizer& /*recognizer*/) { return true; }
    virtual bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
        GestureRecognizer& /*recognizer*/, GestureRecognizer& /*other*/) {
        return false;
    }
};

class GestureRecognizer : public QObject {
public:
    using Action = std::function<void(GestureRecognizer&)>;

    // How far (points) a press must move before a drag starts.
    static constexpr double kDragThreshold = 4;

    ~GestureRecognizer() override;

    // Watches `view`, which takes ownership (the recognizer becomes its child).
    void attachToView(QWidget* view);
    QWidget* view() const { return m_view; }

    GestureRecognizerState state() const { return m_state; }
    GestureRecognizerDelegate* delegate() const { return m_delegate; }
    void setDelegate(GestureRecognizerDelegate* delegate) { m_delegate = delegate; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    // True while the gesture has begun and not yet ended.
    bool isActive() const;

    // Where the gesture is (the centroid of its touches), in `view`'s
    // coordinates; the recognizer's own view when `view` is null.
    Point locationInView(const QWidget* view) const;
    Point locationOfTouchInView(int touchIndex, const QWidget* view) const;
    int numberOfTouches() const { return static_cast<int>(m_touches.size()); }

protected:
    explicit GestureRecognizer(Action action);

    // Moves to `state` and calls the action for every state a handler sees.
    void setState(GestureRecognizerState state);
    // Moves to Began when allowed (delegate and the other recognizers on the
    // view agree), else to Failed. Answers whether it began.
    bool beginIfAllowed();
    // For discrete gestures: moves straight to Recognized (Ended) when allowed.
    bool recognizeIfAllowed();
    // Ends an active gesture (Ended), or resets a failed one.
    void finish(GestureRecognizerState end = GestureRecognizerState::Ended);

    // Input, in the view's coordinates. Touches are the current points of
    // every finger (or the left mouse button as one finger).
    virtual void touchesBegan(const std::vector<Point>& /*touches*/) {}
    virtual void touchesMoved(const std::vector<Point>& /*touches*/) {}
    virtual void touchesEnded(const std::vector<Point>& /*touches*/) {}
    // Wheel turned by `notches` (one click is 1; positive away from the user).
    virtual void wheelTurned(double /*notches*/, bool /*shift*/, Point /*at*/) {}
    // Right-button drag.
    virtual void secondaryPressed(Point /*at*/) {}
    virtual void secondaryMoved(Point /*at*/) {}
    virtual void secondaryReleased(Point /*at*/) {}
    // A double click: the second press of a double tap.
    virtual void doubleClicked(Point /*at*/) {}

    void setTouches(std::vector<Point> touches) { m_touches = std::move(touches); }
    const std::vector<Point>& touches() const { return m_touches; }
    // Whether the touches come from a mouse rather than a touch screen.
    bool inputIsMouse() const { return m_inputIsMouse; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isAllowedToStart();
    void handleTouchEvent(QTouchEvent* touch);

    Action m_action;
    QWidget* m_view = nullptr;
    GestureRecognizerDelegate* m_delegate = nullptr;
    GestureRecognizerState m_state = GestureRecognizerState::Possible;
    bool m_enabled = true;
    bool m_inputIsMouse = true;
    std::vector<Point> m_touches;
};

// Maps a point between two widgets of the same window.
Point mapPointBetweenViews(Point p, const QWidget* from, const QWidget* to);

}  // namespace qp
