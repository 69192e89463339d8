#include "share/SharePopupVC.h"

#include <QLabel>
#include <QPixmap>

namespace qp {

SharePopupVC::SharePopupVC(std::string layoutName) : ViewController(std::move(layoutName)) {}

std::vector<std::string> SharePopupVC::requiredOutlets() const {
    return {kShareImageViewName};
}

std::map<std::string, ViewController::Action> SharePopupVC::actions() {
    return {{"actionBackFromShareButton", [this](QObject* s) { actionBackFromShareButton(s); }}};
}

void SharePopupVC::setTheShareImage(Image image) {
    m_shareImage = std::move(image);
    showShareImage();
}

void SharePopupVC::viewDidLoad() {
    m_imageView = outlet<QLabel>(kShareImageViewName);
    showShareImage();
}

void SharePopupVC::showShareImage() {
    if (!m_imageView) return;
    if (!m_shareImage || m_shareImage->isNull()) {
        m_imageView->clear();
        return;
    }
    // The label shows the square at its own size; the result is 612 pixels a side.
    const QSize side = m_imageView->size();
    m_imageView->setPixmap(QPixmap::fromImage(m_shareImage->bitmap())
                               .scaled(side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

bool SharePopupVC::shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const {
    return orientation == InterfaceOrientation::Portrait ||
           orientation == InterfaceOrientation::PortraitUpsideDown;
}

void SharePopupVC::actionBackFromShareButton(QObject*) {
    dismissViewControllerAnimated(true);
}

}  // namespace qp
