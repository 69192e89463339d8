#include "platform/ui/Window.h"

#include <QGuiApplication>

#include "platform/ui/ViewController.h"

namespace qp {

Window::Window(const DeviceProfile& profile) {
    const QSize size(static_cast<int>(profile.screenSize.width),
                     static_cast<int>(profile.screenSize.height));
    setFixedSize(size);
    setWindowTitle("Quillpost");
    setAttribute(Qt::WA_DeleteOnClose, false);
}

Window::~Window() {
    // The root controller owns its view; take it back before Qt deletes children.
    if (m_root && m_root->isViewLoaded()) m_root->view()->setParent(nullptr);
}

void Window::setRootViewController(std::shared_ptr<ViewController> controller) {
    if (m_root && m_root->isViewLoaded()) {
        if (m_visible) m_root->beginAppearance(false, false);
        m_root->view()->hide();
        m_root->view()->setParent(nullptr);
        if (m_visible) m_root->endAppearance(false, false);
    }
    m_root = std::move(controller);
    if (!m_root) return;
    QWidget* v = m_root->view();
    v->setParent(this);
    v->setGeometry(rect());
    if (m_visible) {
        m_root->beginAppearance(true, false);
        v->show();
        m_root->endAppearance(true, false);
    }
}

void Window::makeKeyAndVisible() {
    if (m_visible) return;
    m_visible = true;
    if (m_root) m_root->beginAppearance(true, false);
    show();
    if (m_root) {
        m_root->view()->show();
        m_root->endAppearance(true, false);
    }
    // The offscreen platform used headless has no window stacking.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        raise();
        activateWindow();
    }
}

}  // namespace qp
