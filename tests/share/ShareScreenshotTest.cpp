// Pictures of the share sheet and its Facebook panel for the README, taken
// only when QP_SHARE_SCREENSHOTS names a folder (skipped otherwise):
//   QP_SHARE_SCREENSHOTS=docs build/.../qp_share_tests --gtest_filter=ShareScreenshot*

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <cstdlib>

#include "ShareFixture.h"
#include "platform/ui/AppStyle.h"

namespace qp::test {
namespace {

Image samplePicture() {
    QImage bitmap(612, 612, QImage::Format_RGB32);
    QPainter painter(&bitmap);
    QLinearGradient sky(0, 0, 0, 612);
    sky.setColorAt(0, QColor(250, 200, 120));
    sky.setColorAt(1, QColor(90, 140, 200));
    painter.fillRect(bitmap.rect(), sky);
    painter.setBrush(QColor(255, 240, 200));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(420, 200), 70, 70);
    painter.setBrush(QColor(40, 80, 60));
    painter.drawRect(0, 430, 612, 182);
    painter.end();
    return Image(bitmap);
}

TEST(ShareScreenshot, TheSheetAndItsFacebookPanel) {
    const char* folder = std::getenv("QP_SHARE_SCREENSHOTS");
    if (!folder || !*folder) GTEST_SKIP() << "set QP_SHARE_SCREENSHOTS to a folder";
    // In the app's own look, as the window shows it.
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    ASSERT_TRUE(applyAppStyle(*app, QP_RESOURCES).ok());
    ShareFixture f("iphone-4in");
    auto sheet = std::make_shared<SharePopupVC>("SharePopupVC_iPhone40", f.services());
    sheet->setTheShareImage(samplePicture());
    f.root->presentViewController(sheet, false);
    f.settle();
    const std::string base = std::string(folder) + "/screenshot-share";
    ASSERT_TRUE(sheet->view()->grab().save(QString::fromStdString(base + ".png")));
    // The panel as the Facebook button shows it, without a client to log in.
    QWidget* panel = sheet->postToFacebookView();
    panel->show();
    panel->raise();
    auto* preview = sheet->outlet<QLabel>(kForFacebookImageName);
    preview->setPixmap(QPixmap::fromImage(sheet->theShareImage()->bitmap())
                           .scaled(preview->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    ASSERT_TRUE(sheet->view()->grab().save(QString::fromStdString(base + "-facebook.png")));
    app->setStyleSheet(QString());
}

}  // namespace
}  // namespace qp::test
