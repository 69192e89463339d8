// The whole main road through the app on every device profile, driven the
// way a person drives it: Start, pick a photo, place it, choose themes, type
// a message, size it, share, go back and start again.

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QTest>

#include <cmath>
#include <filesystem>

#include "app/AppDelegate.h"
#include "editor/ThemeTags.h"
#include "editor/ui/PreviewSquareView.h"
#include "editor/ui/QuillpostVC.h"
#include "platform/DeviceProfile.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"
#include "screens/MainViewController.h"
#include "share/SharePopupVC.h"
#include "support/TestAppServices.h"
#include "support/TestPhotos.h"
#include "support/WidgetInput.h"

using namespace qp;
using namespace qp::test;

namespace {

constexpr auto kPastAnyFade = std::chrono::seconds(1);

// The app launched on one device profile, with its home, photo library and
// main queue of the test's own.
class MainRoad : public TestAppServices {
public:
    explicit MainRoad(const std::string& profile) : TestAppServices(profile) {
        app = std::make_unique<AppDelegate>(context(), "KEY");
        app->applicationDidFinishLaunchingWithOptions();
    }

    // A landscape photo: left half red, right half blue.
    void writePhoto(int width, int height) {
        writeRedBluePhoto(library() / "holiday.png", width, height);
    }

    void settle() { queue.advance(kPastAnyFade); }

    MainViewController& start() { return *app->viewController(); }
    QuillpostVC& editor() { return *dynamic_cast<QuillpostVC*>(start().editor()); }
    QWidget* editorOutlet(const char* name) { return editor().outlet(name); }
    Button* theme(int category, int index) {
        return buttonWithTag(editor().themeStrip()->contentView(), themeButtonTag(category, index));
    }
    Button* category(int n) {
        return buttonWithTag(editor().categoryStrip()->contentView(), categoryButtonTag(n));
    }

    std::unique_ptr<AppDelegate> app;
};

bool isRed(QColor c) {
    return c.red() > 180 && c.green() < 80 && c.blue() < 80;
}
bool isBlue(QColor c) {
    return c.blue() > 180 && c.red() < 80 && c.green() < 80;
}

// The picker that Start opened: a modal screen on a phone, a popover on a tablet.
PhotoPickerVC* openPicker(QuillpostVC& editor) {
    PhotoPickerVC* picker = editor.photoPicker();
    if (!picker) return nullptr;
    const bool shown =
        editor.presentedViewController() == picker ||
        (editor.popoverController() && editor.popoverController()->isPopoverVisible());
    return shown ? picker : nullptr;
}

double rotationOf(const AffineTransform& t) {
    return std::atan2(t.b, t.a);
}

}  // namespace

// The tablet's window lies wholly on the tests' screen: a click the
// platform delivers near the window's bottom edge reaches the theme strip
// there (off every screen it would find no window).
TEST(MainRoad, OnTheTabletAClickNearTheBottomReachesTheThemeStrip) {
    MainRoad road("ipad");
    road.app->window()->show();
    tap(road.start().outlet("startButton"));
    road.settle();
    QuillpostVC& editor = road.editor();
    // Start opened the picker's popover: put it away.
    ASSERT_NE(openPicker(editor), nullptr);
    editor.popoverController()->dismissPopoverAnimated(false);
    road.settle();
    Button* second = road.theme(0, 1);
    ASSERT_NE(second, nullptr);
    const QPoint at = second->mapTo(road.app->window(), second->rect().center());
    EXPECT_GT(at.y(), 850);
    const std::string before = editor.theThemeImageName();
    // Through the platform's window, as the desktop delivers a click.
    QTest::mouseClick(road.app->window()->windowHandle(), Qt::LeftButton, {}, at);
    road.settle();
    EXPECT_EQ(editor.catalogue().themeIdx(), themeButtonTag(0, 1));
    EXPECT_NE(editor.theThemeImageName(), before);
}

TEST(MainRoad, FromStartToTheSharedFileAndBackOnEveryProfile) {
    for (const char* profile : {"iphone", "iphone-retina", "iphone-4in", "ipad", "ipad-retina"}) {
        SCOPED_TRACE(profile);
        MainRoad road(profile);
        road.writePhoto(800, 600);

        // Start: the editor fades in and the picker opens at once.
        tap(road.start().outlet("startButton"));
        road.settle();
        QuillpostVC& editor = road.editor();
        EXPECT_EQ(road.start().presentedViewController(), &editor);
        PhotoPickerVC* picker = openPicker(editor);
        ASSERT_NE(picker, nullptr);
        ASSERT_EQ(picker->photos().size(), 1u);
        tap(picker->photoButton(0));
        road.settle();
        EXPECT_EQ(openPicker(editor), nullptr);

        // The whole photo fits the square: its longer side spans it.
        const double side = road.device.isPad() ? 482 : 306;
        const PhotoPlacement& placement = editor.composition().placement();
        const Layer& photo = editor.composition().previewSquare().photoLayer();
        ASSERT_TRUE(placement.previewPhotoIsRealPhoto());
        const double fit = placement.totalScaleChange();
        EXPECT_NEAR(photo.frame().size.width, side, 0.5);
        EXPECT_NEAR(photo.frame().size.height, side * 0.75, 0.5);
        EXPECT_NEAR(photo.center().x, side / 2, 0.5);
        EXPECT_NEAR(photo.center().y, side / 2, 0.5);

        // Drag, two wheel notches of zoom, a pinch past the cap (dropped),
        // two notches of turn.
        // The tablet shows its square larger than its points: the photo
        // follows the pointer there too.
        QWidget* square = editor.previewSquareView();
        const double shown = square->width() / side;
        EXPECT_EQ(square->width(), road.device.isPad() ? 600 : 306);
        drag(square, {side / 2 * shown, side / 2 * shown}, {12 * shown, 8 * shown});
        EXPECT_NEAR(photo.center().x, side / 2 + 12, 0.5);
        EXPECT_NEAR(photo.center().y, side / 2 + 8, 0.5);
        wheel(square, {side / 2, side / 2}, 2);
        road.settle();
        EXPECT_NEAR(placement.totalScaleChange(), fit * 1.21, 1e-9);
        editor.pinchDetected(100);
        EXPECT_NEAR(placement.totalScaleChange(), fit * 1.21, 1e-9);
        wheel(square, {side / 2, side / 2}, 2, Qt::ShiftModifier);
        road.settle();
        EXPECT_NEAR(rotationOf(photo.transform()), 10 * M_PI / 180, 1e-6);

        // Mirror, then another category and the black theme: the placement stays.
        tap(road.editorOutlet("flipButton"));
        const AffineTransform placed = photo.transform();
        const Point centre = photo.center();
        tap(road.category(2));
        tap(road.category(0));
        tap(road.theme(0, 1));
        EXPECT_EQ(editor.theThemeImageName(), "classic_black.jpg");
        EXPECT_EQ(photo.transform(), placed);
        EXPECT_EQ(photo.center(), centre);

        // A message typed key by key stops at 120 characters.
        tap(road.editorOutlet("textPageButton"));
        auto* text = dynamic_cast<TextView*>(road.editorOutlet("editableTextView"));
        ASSERT_TRUE(text->becomeFirstResponder());
        typeText(text, "Hello" + QString(130, QChar('!')));
        EXPECT_EQ(text->text().size(), 120);
        EXPECT_EQ(dynamic_cast<QLabel*>(road.editorOutlet("editableTextLengthLabel"))->text(),
                  "120 / 120");
        text->setText(QString());
        typeText(text, "Hello");
        EXPECT_EQ(editor.composition().message(), "Hello");

        // The size slider: a press and a lift refresh the text once.
        tap(road.editorOutlet("themesPageButton"));
        auto* slider = dynamic_cast<Slider*>(road.editorOutlet("fontSizeSlider"));
        const int refreshes = editor.textLayerRefreshCount();
        tap(slider);
        road.settle();
        EXPECT_EQ(editor.textLayerRefreshCount(), refreshes + 1);

        // Share: the event, the sheet and the 612 × 612 hand-off file.
        road.analytics.events.clear();
        tap(road.editorOutlet("shareButton"));
        ASSERT_EQ(road.analytics.events.size(), 1u);
        EXPECT_EQ(road.analytics.events[0].name, kThemeUsedEvent);
        EXPECT_EQ(road.analytics.events[0].parameters.at(kThemeNameParameter), "classic_black.jpg");
        auto* sheet = dynamic_cast<SharePopupVC*>(editor.presentedViewController());
        ASSERT_NE(sheet, nullptr);
        road.settle();
        const QImage saved(
            QString::fromStdString((road.paths.documents() / "savedImage.igo").string()), "JPG");
        ASSERT_EQ(saved.size(), QSize(612, 612));
        // The photo, mirrored: blue now left of the middle, red right of it.
        EXPECT_TRUE(isBlue(saved.pixelColor(306 - 90, 300)))
            << saved.pixelColor(306 - 90, 300).name().toStdString();
        EXPECT_TRUE(isRed(saved.pixelColor(306 + 90, 330)))
            << saved.pixelColor(306 + 90, 330).name().toStdString();
        // The theme: black above the photo.
        EXPECT_LT(saved.pixelColor(306, 6).lightness(), 40);
        // The message: where the text layer shows the glyphs' light colour
        // the result is far lighter than where it shows their dark halo.
        const std::optional<Image> textLayer = editor.composition().makeResultImage(false);
        ASSERT_TRUE(textLayer.has_value());
        int glyphs = 0, halo = 0;
        double glyphLightness = 0, haloLightness = 0;
        for (int y = 0; y < 612; y += 2) {
            for (int x = 0; x < 612; x += 2) {
                const QColor ink = textLayer->bitmap().pixelColor(x, y);
                if (ink.alpha() < 255) continue;
                const int there = saved.pixelColor(x, y).lightness();
                if (ink.lightness() >= 240) {
                    ++glyphs;
                    glyphLightness += there;
                } else if (ink.lightness() <= 15) {
                    ++halo;
                    haloLightness += there;
                }
            }
        }
        ASSERT_GT(glyphs, 20);
        ASSERT_GT(halo, 20);
        EXPECT_GT(glyphLightness / glyphs, haloLightness / halo + 100);

        // Back to the editor, back to the start screen, and Start again: the
        // same composition, and the picker opens again.
        tap(sheet->outlet("backButton"));
        road.settle();
        EXPECT_EQ(editor.presentedViewController(), nullptr);
        EXPECT_EQ(openPicker(editor), nullptr);
        tap(road.editorOutlet("backButton"));
        road.settle();
        EXPECT_EQ(road.start().presentedViewController(), nullptr);
        tap(road.start().outlet("startButton"));
        road.settle();
        EXPECT_EQ(&road.editor(), &editor);
        EXPECT_EQ(photo.transform(), placed);
        EXPECT_EQ(editor.composition().message(), "Hello");
        EXPECT_NE(openPicker(editor), nullptr);
    }
}
