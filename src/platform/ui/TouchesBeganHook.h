#pragma once
// Tells a screen that a touch begins on a view before the view's gesture
// recognizers see it (the editor moves its pivot there). A press of any
// mouse button, a touch and a wheel turn all count, as each can start a
// gesture on the desktop.

#include <QObject>

#include <functional>

#include "platform/Geometry.h"

class QWidget;

namespace qp {

class TouchesBeganHook : public QObject {
public:
    using Handler = std::function<void(Point locationInView)>;

    // Owned by `view`.
    static TouchesBeganHook* install(QWidget* view, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TouchesBeganHook(QWidget* view, Handler handler);

    QWidget* m_view;
    Handler m_handler;
};

}  // namespace qp
