#pragma once
// Lets files be dropped onto a view: a drag that carries a local file is
// accepted, and the dropped file is handed on. Whether it is a photo is for
// the receiver to find out, so a file of any kind gets the same answer as
// one chosen in the picker.

#include <QObject>

#include <filesystem>
#include <functional>
#include <optional>

class QMimeData;
class QWidget;

namespace qp {

// The first local file a drag carries, if any.
std::optional<std::filesystem::path> droppedLocalFile(const QMimeData& data);

class PhotoDropTarget : public QObject {
public:
    using Receiver = std::function<void(const std::filesystem::path&)>;
    // Owned by `view`; `receiver` gets every dropped file.
    PhotoDropTarget(QWidget* view, Receiver receiver);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Receiver m_receiver;
};

}  // namespace qp
