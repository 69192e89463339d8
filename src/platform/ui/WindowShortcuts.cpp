#include "platform/ui/WindowShortcuts.h"

#include <QKeySequence>
#include <QVariant>
#include <QWidget>

namespace qp {

std::optional<std::string> actionToRun(const WindowShortcut& shortcut,
                                       const std::function<bool(const std::string&)>& screenHas) {
    for (const std::string& name : shortcut.actions) {
        if (screenHas(name)) return name;
    }
    return std::nullopt;
}

bool actionIsAvailable(const QWidget* view, const std::string& name) {
    if (!view) return false;
    const QString wanted = QString::fromStdString(name);
    bool named = false;
    for (const QWidget* widget : view->findChildren<QWidget*>()) {
        if (widget->property("action").toString() != wanted) continue;
        named = true;
        if (widget->isVisibleTo(view) && widget->isEnabled()) return true;
    }
    return !named;
}

std::string shortcutKeysText(const WindowShortcut& shortcut) {
    if (shortcut.keys.empty()) return {};
    return QKeySequence(QString::fromStdString(shortcut.keys.front()), QKeySequence::PortableText)
        .toString(QKeySequence::NativeText)
        .toStdString();
}

}  // namespace qp
