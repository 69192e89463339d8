#pragma once
// Mouse input delivered straight to widgets, as a person's clicks and drags
// would arrive, for screen tests that run without a display.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "platform/ui/Button.h"
#include "platform/ui/LayoutLoader.h"

namespace qp::test {

inline void sendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

// A finger lifted inside the widget's centre.
inline void tap(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    const QPointF centre(widget->width() / 2.0, widget->height() / 2.0);
    sendMouse(widget, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
}

// A left-button drag from `from` by `by`, in four moves.
inline void drag(QWidget* widget, QPointF from, QPointF by) {
    sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step)
        sendMouse(widget, QEvent::MouseMove, from + by * step / 4.0, Qt::NoButton, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, from + by, Qt::LeftButton, Qt::NoButton);
}

// One wheel notch at `at` (away from the user when `notches` is positive).
inline void wheel(QWidget* widget, QPointF at, int notches,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent event(at, widget->mapToGlobal(at), {}, {0, 120 * notches}, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// Typed key by key into the widget with the keyboard focus.
inline void typeText(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A pair is one key, as a keyboard sends it.
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString key = text.mid(i, length);
        i += length - 1;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, key);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, key);
        QApplication::sendEvent(widget, &release);
    }
}

// The button tagged `tag` under `root`, or nullptr.
inline Button* buttonWithTag(QWidget* root, int tag) {
    return dynamic_cast<Button*>(viewWithTag(root, tag));
}

}  // namespace qp::test
