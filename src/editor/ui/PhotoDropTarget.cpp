#include "editor/ui/PhotoDropTarget.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace qp {

std::optional<std::filesystem::path> droppedLocalFile(const QMimeData& data) {
    if (!data.hasUrls()) return std::nullopt;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            return std::filesystem::path(url.toLocalFile().toStdString());
    }
    return std::nullopt;
}

PhotoDropTarget::PhotoDropTarget(QWidget* view, Receiver receiver)
    : QObject(view), m_receiver(std::move(receiver)) {
    view->setAcceptDrops(true);
    view->installEventFilter(this);
}

bool PhotoDropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->mimeData() && droppedLocalFile(*drag->mimeData())) {
                drag->acceptProposedAction();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const auto file = drop->mimeData() ? droppedLocalFile(*drop->mimeData()) : std::nullopt;
            if (!file) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            m_receiver(*file);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace qp
