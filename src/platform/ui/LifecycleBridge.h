#pragma once
// Watches the Qt application and its main window and drives the application
// lifecycle from them. Only the application as a whole losing the user's
// attention (none of our windows focused) is resigning; focus moving between
// our own windows (an alert, a popover, a composer, a second window) is not.
// Minimising the main window is the background, restoring it the
// foreground, quitting is termination.

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
    void applicationStateChanged(Qt::ApplicationState state);
    void settleActivation();

    ApplicationLifecycle& m_lifecycle;
    QPointer<QWidget> m_window;
    Qt::ApplicationState m_applicationState;
    bool m_settlePending = false;
};

}  // namespace qp
