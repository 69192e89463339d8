#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <fstream>
#include <string>

#include "editor/ui/EditorFixture.h"
#include "editor/ui/PhotoDropTarget.h"
#include "support/HeadlessAlerts.h"

using namespace qp;
using qp::test::EditorFixture;
using qp::test::HeadlessAlerts;

namespace {

std::unique_ptr<QMimeData> filesData(const std::vector<QUrl>& urls) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls(QList<QUrl>(urls.begin(), urls.end()));
    return data;
}

// Drags `data` over the editor and drops it; answers whether the drag was
// accepted on entering.
bool dragAndDrop(QuillpostVC& editor, const QMimeData& data) {
    QWidget* view = editor.view();
    const QPoint at(view->width() / 2, view->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &drop);
    return drop.isAccepted();
}

}  // namespace

TEST(PhotoDrop, TheFirstLocalFileOfADrag) {
    const struct {
        std::vector<QUrl> urls;
        std::optional<std::string> file;
    } cases[] = {
        {{QUrl::fromLocalFile("/tmp/a.jpg")}, "/tmp/a.jpg"},
        {{QUrl("https://example.org/b.jpg"), QUrl::fromLocalFile("/tmp/c d.png")}, "/tmp/c d.png"},
        {{QUrl("https://example.org/b.jpg")}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto data = filesData(c.urls);
        const auto file = droppedLocalFile(*data);
        EXPECT_EQ(file.has_value(), c.file.has_value());
        if (file && c.file) {
            EXPECT_EQ(file->string(), *c.file);
        }
    }
    QMimeData text;
    text.setText("just words");
    EXPECT_FALSE(droppedLocalFile(text));
}

// A dropped photo is placed as if picked: fitted whole, history cleared.
TEST(PhotoDrop, APhotoDroppedOnTheEditorIsPlaced) {
    HeadlessAlerts alerts;
    EditorFixture f;
    QuillpostVC& editor = f.load();
    editor.panDetected({4, 0});
    const auto photo = f.writePhoto("dropped.png", 612, 612);
    const int shown = AlertView::shownCount();
    ASSERT_TRUE(dragAndDrop(
        editor, *filesData({QUrl::fromLocalFile(QString::fromStdString(photo.string()))})));
    f.queue.runPending();
    const PhotoPlacement& placement = editor.composition().placement();
    ASSERT_TRUE(placement.previewPhotoIsRealPhoto());
    EXPECT_DOUBLE_EQ(placement.totalScaleChange(), 0.5);
    EXPECT_EQ(AlertView::shownCount(), shown);
    EXPECT_EQ(f.pickerOpened, 0);
}

// A text file gets the alert a photo that cannot be read gets in the
// picker, naming the file; the square stays as it was.
TEST(PhotoDrop, ATextFileGetsThePickersAlert) {
    EditorFixture f;
    // After the fixture, whose own answerer this one replaces.
    std::string title, message;
    HeadlessAlerts alerts([&](const AlertView& alert) {
        title = alert.title();
        message = alert.message();
        return 0;
    });
    QuillpostVC& editor = f.load();
    const std::filesystem::path notes = f.library() / "notes.txt";
    std::ofstream(notes) << "a shopping list";
    const int shown = AlertView::shownCount();
    ASSERT_TRUE(dragAndDrop(
        editor, *filesData({QUrl::fromLocalFile(QString::fromStdString(notes.string()))})));
    f.queue.runPending();
    QApplication::processEvents();  // the headless alert is answered
    EXPECT_EQ(AlertView::shownCount(), shown + 1);
    EXPECT_EQ(title, kUnreadablePhotoTitle);
    EXPECT_NE(message.find("notes.txt"), std::string::npos);
    EXPECT_FALSE(editor.composition().placement().previewPhotoIsRealPhoto());

    // The picker's own choice of such a file says the same.
    f.chosenPhoto = notes;
    title.clear();
    editor.loadPhoto(nullptr);
    QApplication::processEvents();
    EXPECT_EQ(title, kUnreadablePhotoTitle);
}

// A drag without a file is refused at the door.
TEST(PhotoDrop, ADragWithoutAFileIsRefused) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    QMimeData text;
    text.setText("words");
    EXPECT_FALSE(dragAndDrop(editor, text));
    EXPECT_FALSE(dragAndDrop(editor, *filesData({QUrl("https://example.org/p.jpg")})));
}
