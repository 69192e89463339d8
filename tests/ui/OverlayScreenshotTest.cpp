// The overlay as people see it: shown over the start screen of a 4-inch
// phone. Set QP_OVERLAY_SCREENSHOT to a PNG path to keep the picture.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "platform/DeviceProfile.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/UiTiming.h"
#include "platform/ui/Window.h"
#include "support/ManualMainQueue.h"
#include "ui/Throbber.h"

using namespace qp;
using namespace std::chrono_literals;

TEST(OverlayScreenshot, LoadingOverlayDarkensTheMiddleOfTheStartScreen) {
    ManualMainQueue queue;
    ScopedUiTiming timing(queue, queue.clock());
    const DeviceProfile phone = *deviceProfileNamed("iphone-4in");
    setCurrentDeviceProfile(phone);
    LayoutLoader::shared().setLayoutsFolder(std::filesystem::path(QP_RESOURCES) / "layouts");
    Result<QWidget*> start = LayoutLoader::shared().loadLayout("MainViewController_iPhone40");
    ASSERT_TRUE(start.ok());

    Window window(phone);
    (*start)->setParent(&window);
    (*start)->setGeometry(window.rect());
    window.show();

    Throbber* throbber = Throbber::defaultThrobberOnViewWithTitleDetailsDisplayModeBlockNavigation(
        &window, {}, {}, 0, true);
    throbber->titleLabel()->setLabelFont(boldSystemFontOfSize(10));
    throbber->titleLabel()->setNumberOfLines(0);
    throbber->titleLabel()->setLineBreakMode(LineBreakMode::WordWrap);
    throbber->setTitle("\nloading content");

    const QImage before = window.grab().toImage();
    throbber->show();
    queue.advance(250ms);
    const QImage after = window.grab().toImage();

    // The box's left edge, at the height of the screen's middle: dark now.
    const QRect box = throbber->contentView()->geometry().translated(throbber->pos());
    const QPoint probe(box.left() + 4, box.center().y());
    EXPECT_GT(qGray(before.pixel(probe)), 150);
    EXPECT_LT(qGray(after.pixel(probe)), 70);
    // Outside the box the start screen shows unchanged.
    EXPECT_EQ(before.pixel(5, 300), after.pixel(5, 300));

    if (const char* path = std::getenv("QP_OVERLAY_SCREENSHOT")) {
        EXPECT_TRUE(after.save(QString::fromUtf8(path), "PNG"));
    }
    delete throbber;
    setCurrentDeviceProfile(defaultDeviceProfile());
}
