#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <chrono>
#include <fstream>

#include "editor/ui/EditorFixture.h"
#include "editor/ui/PhotoPickerVC.h"
#include "platform/ui/Button.h"

using namespace qp;
using qp::test::EditorFixture;

namespace {

void tap(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    const QPointF centre(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, centre, widget->mapToGlobal(centre), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, widget->mapToGlobal(centre),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void setAge(const std::filesystem::path& path, int minutesAgo) {
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(minutesAgo));
}

}  // namespace

TEST(PhotoPicker, ListsPicturesNewestFirst) {
    TempFolder folder;
    for (const char* name : {"old.jpg", "new.PNG", "mid.jpeg", "notes.txt", "same_b.png",
                             "same_a.png", "phone.HEIC"}) {
        std::ofstream(folder.path() / name) << "x";
    }
    std::filesystem::create_directories(folder.path() / "sub.jpg");
    setAge(folder.path() / "old.jpg", 30);
    setAge(folder.path() / "mid.jpeg", 20);
    setAge(folder.path() / "new.PNG", 1);
    setAge(folder.path() / "phone.HEIC", 10);
    const auto now = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(25);
    std::filesystem::last_write_time(folder.path() / "same_a.png", now);
    std::filesystem::last_write_time(folder.path() / "same_b.png", now);

    std::vector<std::string> names;
    for (const auto& p : photosNewestFirst(folder.path())) names.push_back(p.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"new.PNG", "phone.HEIC", "mid.jpeg", "same_a.png",
                                               "same_b.png", "old.jpg"}));
    EXPECT_TRUE(photosNewestFirst(folder.path() / "missing").empty());
}

// On a phone the picker comes modally; its thumbnails arrive from the worker
// and a tap places the photo and takes the picker away.
TEST(PhotoPicker, PhonePickerPlacesTheTappedPhoto) {
    EditorFixture f("iphone");
    f.editor->setPhotoChooser({});
    QuillpostVC& editor = f.load();
    f.writePhoto("first.png", 700, 900);
    setAge(f.writePhoto("older.png", 900, 700), 10);

    editor.loadPhoto(nullptr);
    PhotoPickerVC* picker = editor.photoPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(editor.presentedViewController(), picker);
    ASSERT_EQ(picker->photos().size(), 2u);
    ASSERT_TRUE(f.queue.runUntil(
        [&] { return !picker->photoButton(1)->imageForState(ControlState::Normal).isNull(); }));

    tap(picker->photoButton(0));
    EXPECT_EQ(editor.presentedViewController(), nullptr);
    const PhotoPlacement& placement = editor.composition().placement();
    ASSERT_TRUE(placement.previewPhotoIsRealPhoto());
    EXPECT_DOUBLE_EQ(placement.originalPhotoHeight(), 900);  // the newest one
}

// On a tablet the picker sits in a popover beside the square, arrow left;
// cancelling changes nothing.
TEST(PhotoPicker, TabletPickerInAPopoverCancels) {
    EditorFixture f("ipad");
    f.editor->setPhotoChooser({});
    QuillpostVC& editor = f.load();
    f.writePhoto("only.png", 700, 900);

    editor.loadPhoto(nullptr);
    ASSERT_NE(editor.popoverController(), nullptr);
    EXPECT_TRUE(editor.popoverController()->isPopoverVisible());
    EXPECT_EQ(editor.popoverController()->arrowDirection(), kPopoverArrowDirectionLeft);
    // Anchored at (284, 180, 100, 500): the panel opens right of that box,
    // level with it.
    const Rect panel = editor.popoverController()->panelFrame();
    EXPECT_GE(panel.origin.x, 284 + 100);
    EXPECT_GE(panel.origin.y + panel.height() / 2, 180);
    EXPECT_LE(panel.origin.y + panel.height() / 2, 180 + 500);
    editor.photoPicker()->stopThumbnails();
    editor.photoPicker()->cancel();
    EXPECT_EQ(editor.popoverController(), nullptr);
    f.queue.advance(std::chrono::seconds(1));
    EXPECT_FALSE(editor.composition().placement().previewPhotoIsRealPhoto());
}
