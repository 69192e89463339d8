#include "platform/ui/LifecycleBridge.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include "platform/ApplicationLifecycle.h"

namespace qp {

LifecycleBridge::LifecycleBridge(ApplicationLifecycle& lifecycle, QWidget* window)
    : m_lifecycle(lifecycle),
      m_window(window),
      m_applicationState(QGuiApplication::applicationState()) {
    window->installEventFilter(this);
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
                     [this](Qt::ApplicationState state) { applicationStateChanged(state); });
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                     [this] { m_lifecycle.terminate(); });
}

void LifecycleBridge::applicationStateChanged(Qt::ApplicationState state) {
    m_applicationState = state;
    if (m_settlePending) return;
    // Some window systems let the focus pass through "none of ours" on its
    // way from one of our windows to another; the state that holds once the
    // events of this turn are through is the one that counts.
    m_settlePending = true;
    QTimer::singleShot(0, this, [this] { settleActivation(); });
}

void LifecycleBridge::settleActivation() {
    m_settlePending = false;
    if (m_applicationState == Qt::ApplicationActive) {
        m_lifecycle.windowActivated();
    } else {
        m_lifecycle.windowDeactivated();
    }
}

bool LifecycleBridge::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window) return false;
    switch (event->type()) {
        case QEvent::WindowStateChange:
            if (m_window->isMinimized()) {
                m_lifecycle.enterBackground();
            } else {
                m_lifecycle.enterForeground(m_applicationState == Qt::ApplicationActive);
            }
            break;
        case QEvent::Hide:
            if (!m_window->isMinimized() && !QCoreApplication::closingDown()) break;
            m_lifecycle.enterBackground();
            break;
        default:
            break;
    }
    return false;
}

}  // namespace qp
