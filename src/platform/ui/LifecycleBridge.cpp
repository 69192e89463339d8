#include "platform/ui/LifecycleBridge.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "platform/ApplicationLifecycle.h"

namespace qp {

LifecycleBridge::LifecycleBridge(ApplicationLifecycle& lifecycle, QWidget* window)
    : m_lifecycle(lifecycle), m_window(window) {
    window->installEventFilter(this);
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                     [this] { m_lifecycle.terminate(); });
}

bool LifecycleBridge::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window) return false;
    switch (event->type()) {
        case QEvent::ActivationChange:
            if (m_window->isActiveWindow()) {
                m_lifecycle.windowActivated();
            } else {
                m_lifecycle.windowDeactivated();
            }
            break;
        case QEvent::WindowStateChange:
            if (m_window->isMinimized()) {
                m_lifecycle.enterBackground();
            } else {
                m_lifecycle.enterForeground(m_window->isActiveWindow());
            }
            break;
        case QEvent::Hide:
            if (!m_window->isMinimized() && QCoreApplication::closingDown() == false) break;
            m_lifecycle.enterBackground();
            break;
        default:
            break;
    }
    return false;
}

}  // namespace qp
