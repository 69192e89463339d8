#include "platform/ui/Window.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>

#include <fmt/format.h>

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ModalLayer.h"
#include "platform/ui/ScreenScale.h"
#include "platform/ui/ViewController.h"

namespace qp {

namespace {

// Whether a press at `widget` belongs to a gesture (the right button
// rotates the photo there), so it brings up no menu.
bool takesGestures(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        if (!widget->findChildren<GestureRecognizer*>(Qt::FindDirectChildrenOnly).isEmpty())
            return true;
    }
    return false;
}

std::string formatFactor(double factor) {
    return fmt::format("{:g}×", factor);
}

}  // namespace

std::string windowTitleFor(const DeviceProfile& profile, double zoomFactor) {
    return fmt::format("Quillpost — {}, {:g} × {:g} points at scale {:g}, shown at {}",
                       profile.name, profile.screenSize.width, profile.screenSize.height,
                       profile.effectiveScale(), formatFactor(zoomFactor));
}

Window::Window(const DeviceProfile& profile) : m_profile(profile) {
    const QSize size(static_cast<int>(profile.screenSize.width),
                     static_cast<int>(profile.screenSize.height));
    setFixedSize(size);
    updateTitle();
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

ViewController* Window::topViewController() const {
    ViewController* top = m_root.get();
    while (top && top->presentedViewController()) top = top->presentedViewController();
    return top;
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

// --- shortcuts ------------------------------------------------------------------

void Window::setShortcuts(std::vector<WindowShortcut> shortcuts) {
    for (QAction* action : m_shortcutActions) delete action;
    m_shortcutActions.clear();
    m_shortcuts = std::move(shortcuts);
    for (std::size_t i = 0; i < m_shortcuts.size(); ++i) {
        QList<QKeySequence> keys;
        for (const std::string& key : m_shortcuts[i].keys)
            keys.append(QKeySequence(QString::fromStdString(key), QKeySequence::PortableText));
        auto* action = new QAction(QString::fromStdString(m_shortcuts[i].description), this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, i] {
            // A copy: the shortcut may replace the window's list.
            const WindowShortcut shortcut = m_shortcuts[i];
            runShortcut(shortcut);
        });
        addAction(action);
        m_shortcutActions.push_back(action);
    }
}

bool Window::runShortcut(const WindowShortcut& shortcut) {
    if (shortcut.command != WindowCommand::None) {
        runCommand(shortcut.command);
        return true;
    }
    if (const ModalLayerBehaviour* layer = topModalLayer(this)) {
        if (!shortcut.closesLayer || !layer->cancel) return false;
        // A copy: cancelling may take the layer, and its behaviour, away.
        const std::function<void()> cancel = layer->cancel;
        cancel();
        return true;
    }
    ViewController* top = topViewController();
    if (!top || !top->isViewLoaded()) return false;
    // The action may dismiss the screen that runs it.
    const std::shared_ptr<ViewController> keep = top->weak_from_this().lock();
    const auto name = actionToRun(shortcut, [top](const std::string& candidate) {
        return top->hasAction(candidate) && actionIsAvailable(top->view(), candidate);
    });
    if (!name) return false;
    return top->performAction(*name);
}

void Window::runCommand(WindowCommand command) {
    switch (command) {
        case WindowCommand::None:
            break;
        case WindowCommand::ShowShortcutList:
            showShortcutList();
            break;
        case WindowCommand::ZoomActual:
            chooseZoom(WindowZoom::Actual);
            break;
        case WindowCommand::ZoomDouble:
            chooseZoom(WindowZoom::Double);
            break;
        case WindowCommand::ZoomFit:
            chooseZoom(WindowZoom::FitScreen);
            break;
    }
}

void Window::showShortcutList() {
    if (m_shortcutList) {
        m_shortcutList->show();
        m_shortcutList->raise();
        return;
    }
    auto* list = new QWidget(this, Qt::Dialog);
    list->setObjectName(kShortcutListName);
    list->setWindowTitle("Keyboard shortcuts");
    list->setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(list);
    int row = 0;
    for (const WindowShortcut& shortcut : m_shortcuts) {
        auto* keys = new QLabel(QString::fromStdString(shortcutKeysText(shortcut)), list);
        auto* what = new QLabel(QString::fromStdString(shortcut.description), list);
        QFont bold = keys->font();
        bold.setBold(true);
        keys->setFont(bold);
        grid->addWidget(keys, row, 0);
        grid->addWidget(what, row, 1);
        ++row;
    }
    m_shortcutList = list;
    list->show();
}

// --- zoom -----------------------------------------------------------------------

void Window::showZoom(WindowZoom zoom, double factor) {
    m_zoom = zoom;
    m_zoomFactor = factor;
    setScreenScale(*this, factor);
    updateTitle();
}

void Window::chooseZoom(WindowZoom zoom) {
    if (zoom == m_zoom) return;
    const double factor = m_zoomObserver ? m_zoomObserver(zoom) : qp::zoomFactor(zoom, {}, {});
    showZoom(zoom, factor);
}

void Window::updateTitle() {
    setWindowTitle(QString::fromStdString(windowTitleFor(m_profile, m_zoomFactor)));
}

void Window::contextMenuEvent(QContextMenuEvent* event) {
    if (takesGestures(childAt(event->pos()))) {
        event->ignore();
        return;
    }
    QMenu menu(this);
    for (const WindowShortcut& shortcut : m_shortcuts) {
        if (shortcut.command == WindowCommand::None) continue;
        QAction* item = menu.addAction(
            QString::fromStdString(shortcut.description + "\t" + shortcutKeysText(shortcut)));
        const WindowCommand command = shortcut.command;
        const bool checked =
            (command == WindowCommand::ZoomActual && m_zoom == WindowZoom::Actual) ||
            (command == WindowCommand::ZoomDouble && m_zoom == WindowZoom::Double) ||
            (command == WindowCommand::ZoomFit && m_zoom == WindowZoom::FitScreen);
        if (command != WindowCommand::ShowShortcutList) {
            item->setCheckable(true);
            item->setChecked(checked);
        }
        connect(item, &QAction::triggered, this, [this, command] { runCommand(command); });
    }
    if (!menu.isEmpty()) menu.exec(event->globalPos());
}

}  // namespace qp
