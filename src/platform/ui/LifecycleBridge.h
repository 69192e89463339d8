#pragma once
// Watches the desktop window and the Qt application and drives the
// application lifecycle from them: focus in/out is activation, minimising is
// the background, restoring is the foreground, quitting is termination.

#include <QObject>
#include <QPointer>

namespace qp {

class ApplicationLifecycle;

class LifecycleBridge : public QObject {
public:
    LifecycleBridge(ApplicationLifecycle& lifecycle, QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ApplicationLifecycle& m_lifecycle;
    QPointer<QWidget> m_window;
};

}  // namespace qp
