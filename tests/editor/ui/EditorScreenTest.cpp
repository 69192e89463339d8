#include <gtest/gtest.h>

#include <fmt/format.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "editor/FakeThemeFeed.h"
#include "editor/TempResources.h"
#include "editor/ThemeKeys.h"
#include "editor/composition/ResultFile.h"
#include "editor/ui/EditorFixture.h"
#include "editor/ui/PreviewSquareView.h"
#include "editor/ui/ThemeStripLayout.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextView.h"
#include "platform/ui/ViewFrame.h"
#include "support/WidgetInput.h"

using namespace qp;
using qp::test::drag;
using qp::test::EditorFixture;
using qp::test::sendMouse;
using qp::test::tap;
using qp::test::wheel;

namespace {

const char* const kProfiles[] = {"iphone", "iphone-retina", "iphone-4in", "ipad", "ipad-retina"};

Button* button(QWidget* root, int tag) {
    return qp::test::buttonWithTag(root, tag);
}

int themeButtonCount(QuillpostVC& editor) {
    int count = 0;
    for (QWidget* w :
         editor.themeStrip()->contentView()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (tagOf(w) >= kThemeButtonTagBase) ++count;
    }
    return count;
}

QString counterText(QuillpostVC& editor) {
    return dynamic_cast<QLabel*>(editor.outlet("editableTextLengthLabel"))->text();
}

}  // namespace

// Every device profile loads its layout with the square at the right side,
// the first theme applied and the first category's strip filled.
TEST(EditorScreen, LoadsOnEveryDeviceProfile) {
    for (const char* name : kProfiles) {
        SCOPED_TRACE(name);
        EditorFixture f(name);
        QuillpostVC& editor = f.load();
        const double side = f.device.isPad() ? 482 : 306;
        // The tablet shows its square larger than its points.
        EXPECT_EQ(editor.previewSquareView()->width(), f.device.isPad() ? 600 : side);
        EXPECT_EQ(editor.previewSquareView()->height(), editor.previewSquareView()->width());
        EXPECT_EQ(editor.composition().squareSide(), side);
        for (const char* layer : {"resultPreviewBkgd", "resultPreviewPhoto", "resultPreviewText",
                                  "resultPreviewGrid"}) {
            EXPECT_NE(editor.previewSquareView()->layerNamed(layer), nullptr) << layer;
        }
        EXPECT_EQ(editor.theThemeImageName(), "classic_white.jpg");
        EXPECT_TRUE(editor.composition().previewSquare().backgroundLayer().image().has_value());
        EXPECT_TRUE(editor.outlet("flipButton")->isVisibleTo(editor.view()));
        EXPECT_EQ(themeButtonCount(editor), 7);
        const ThemeStripLayout layout = ThemeStripLayout::forIdiom(f.device.isPad());
        EXPECT_EQ(editor.themeStrip()->contentSize().width, layout.contentWidth(7));
        // The text page lies one screen width left of the themes page.
        const double screenWidth = f.device.isPad() ? 768 : 320;
        EXPECT_EQ(viewFrame(editor.outlet("selectThemeView")).origin.x -
                      viewFrame(editor.outlet("enterTextView")).origin.x,
                  screenWidth);
        EXPECT_EQ(counterText(editor), "0 / 120");
        EXPECT_TRUE(editor.textIsPlaceholdertext());
        auto* slider = dynamic_cast<Slider*>(editor.outlet("fontSizeSlider"));
        EXPECT_FLOAT_EQ(slider->minimumValue(), 12);
        EXPECT_FLOAT_EQ(slider->maximumValue(), 48);
        EXPECT_FLOAT_EQ(slider->value(), 24);
        EXPECT_NEAR(slider->rotation(), kSliderRotation, 1e-9);
        EXPECT_TRUE(editor.shouldAutorotateToInterfaceOrientation(
            InterfaceOrientation::PortraitUpsideDown));
        EXPECT_FALSE(
            editor.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::LandscapeLeft));
    }
}

TEST(EditorScreen, PhoneThemeStripFrames) {
    const ThemeStripLayout phone = ThemeStripLayout::forIdiom(false);
    EXPECT_EQ(phone.contentWidth(3), 294);
    EXPECT_EQ(phone.buttonFrame(2), Rect(194, 3, 74, 74));
    EXPECT_EQ(ThemeStripLayout::forIdiom(true).buttonFrame(1), Rect(224, 3, 144, 144));
}

// The clearing pass removes the strip's own views tagged 500-748 but not the
// row that holds the category buttons and their indicators.
TEST(EditorScreen, CategoryButtonsSurviveTheClearingPass) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    QWidget* content = editor.categoryStrip()->contentView();
    auto* stray = new QWidget(content);
    stray->setProperty("tag", 620);
    auto* kept = new QWidget(content);
    kept->setProperty("tag", 749);
    f.notifications.post(kNewCOTDImagesLoaded);  // not observed before appearing
    EXPECT_EQ(viewWithTag(content, 620), stray);
    editor.beginAppearance(true, false);
    editor.endAppearance(true, false);
    f.notifications.post(kNewCOTDImagesLoaded);
    for (int n = 0; n <= 5; ++n) {
        ASSERT_NE(button(content, categoryButtonTag(n)), nullptr) << n;
        EXPECT_NE(dynamic_cast<QLabel*>(viewWithTag(content, categoryIndicatorTag(n))), nullptr);
    }
    // The stray direct view went; the one outside the range stays.
    bool strayLeft = false;
    for (QWidget* w : content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        strayLeft = strayLeft || tagOf(w) == 620;
    EXPECT_FALSE(strayLeft);
    EXPECT_EQ(viewWithTag(content, 749), kept);
}

TEST(EditorScreen, CategorySelectionAppliesTheFirstThemeAndMovesTheHighlight) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    QWidget* categories = editor.categoryStrip()->contentView();
    auto* indicator0 = dynamic_cast<QLabel*>(viewWithTag(categories, categoryIndicatorTag(0)));
    auto* indicator1 = dynamic_cast<QLabel*>(viewWithTag(categories, categoryIndicatorTag(1)));
    const QImage selected = indicator0->pixmap().toImage();

    tap(button(categories, categoryButtonTag(1)));
    EXPECT_EQ(editor.catalogue().categoryIdx(), 501);
    EXPECT_EQ(editor.catalogue().themeIdx(), themeButtonTag(1, 0));
    EXPECT_NE(editor.theThemeImageName(), "classic_white.jpg");
    EXPECT_EQ(indicator1->pixmap().toImage(), selected);
    EXPECT_NE(indicator0->pixmap().toImage(), selected);
    Button* first = button(editor.themeStrip()->contentView(), themeButtonTag(1, 0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(button(editor.themeStrip()->contentView(), themeButtonTag(0, 0)), nullptr);
    EXPECT_EQ(viewFrame(editor.highlightView()).origin.x, 26 - 2);
    EXPECT_TRUE(editor.highlightView()->isVisibleTo(editor.themeStrip()));
    EXPECT_FALSE(f.state.currentThemeIsCOTD());

    // The browsed category again: no refill, but the theme-of-the-day flag
    // is still written.
    f.state.setCurrentThemeIsCOTD(true);
    tap(button(categories, categoryButtonTag(1)));
    EXPECT_EQ(button(editor.themeStrip()->contentView(), themeButtonTag(1, 0)), first);
    EXPECT_FALSE(f.state.currentThemeIsCOTD());

    tap(button(categories, categoryButtonTag(5)));
    EXPECT_TRUE(f.state.currentThemeIsCOTD());
    EXPECT_EQ(editor.theThemeImageName(), "COTD");
}

// The selected category and the panel page that is up show on their own
// buttons, so the style can mark them at a glance.
TEST(EditorScreen, SelectedCategoryAndPanelPageShowOnTheirButtons) {
    for (const char* name : {"iphone", "ipad"}) {
        SCOPED_TRACE(name);
        EditorFixture f(name);
        QuillpostVC& editor = f.load();
        QWidget* categories = editor.categoryStrip()->contentView();
        const auto selectedCategories = [&] {
            std::vector<int> tags;
            for (auto* b : categories->findChildren<Button*>()) {
                if (b->isSelectedState()) tags.push_back(b->tag());
            }
            return tags;
        };
        EXPECT_EQ(selectedCategories(), std::vector<int>{categoryButtonTag(0)});
        tap(button(categories, categoryButtonTag(2)));
        EXPECT_EQ(selectedCategories(), std::vector<int>{categoryButtonTag(2)});

        auto* textPage = editor.view()->findChild<QAbstractButton*>("textPageButton");
        auto* themesPage = editor.view()->findChild<QAbstractButton*>("themesPageButton");
        ASSERT_NE(textPage, nullptr);
        ASSERT_NE(themesPage, nullptr);
        EXPECT_TRUE(themesPage->isChecked());
        EXPECT_FALSE(textPage->isChecked());
        textPage->click();
        EXPECT_TRUE(textPage->isChecked());
        EXPECT_FALSE(themesPage->isChecked());
        // Pressing the page that is up keeps it marked.
        textPage->click();
        EXPECT_TRUE(textPage->isChecked());
        themesPage->click();
        EXPECT_TRUE(themesPage->isChecked());
        EXPECT_FALSE(textPage->isChecked());
    }
}

TEST(EditorScreen, TappingTheAppliedThemeAgainChangesNothing) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    QWidget* strip = editor.themeStrip()->contentView();
    tap(button(strip, themeButtonTag(0, 1)));
    EXPECT_EQ(editor.theThemeImageName(), "classic_black.jpg");
    const int refreshes = editor.textLayerRefreshCount();
    tap(button(strip, themeButtonTag(0, 1)));
    EXPECT_EQ(editor.textLayerRefreshCount(), refreshes);
    EXPECT_EQ(viewFrame(editor.highlightView()).origin.x, 26 + 84 - 2);
}

TEST(EditorScreen, PickedPhotoIsFittedAndGesturesFollowTheCap) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    PhotoPlacement& placement = editor.composition().placement();
    // Before a photo: gestures and mirror leave the bottom image alone.
    const Rect bottom = placement.previewPhotoIsRealPhoto()
                            ? Rect()
                            : editor.composition().previewSquare().photoLayer().frame();
    editor.panDetected({30, 30});
    editor.pinchDetected(1.5);
    EXPECT_EQ(editor.composition().previewSquare().photoLayer().frame(), bottom);

    f.chosenPhoto = f.writePhoto("wide.png", 612, 612);
    editor.loadPhoto(nullptr);
    EXPECT_EQ(f.pickerFolder, f.library());
    ASSERT_TRUE(placement.previewPhotoIsRealPhoto());
    EXPECT_DOUBLE_EQ(placement.totalScaleChange(), 0.5);
    editor.touchesBegan();
    editor.pinchDetected(1.5);
    editor.pinchDetected(1.5);
    EXPECT_DOUBLE_EQ(placement.totalScaleChange(), 1.125);
    editor.pinchDetected(2.0);  // 2.25 is over the cap: dropped whole
    EXPECT_DOUBLE_EQ(placement.totalScaleChange(), 1.125);
    editor.rotationDetected(0.3);
    editor.panDetected({10, -4});
    const Layer& photo = editor.composition().previewSquare().photoLayer();
    const AffineTransform transform = photo.transform();
    const Point centre = photo.center();

    // Theme and category changes keep the placement.
    tap(button(editor.themeStrip()->contentView(), themeButtonTag(0, 2)));
    tap(button(editor.categoryStrip()->contentView(), categoryButtonTag(2)));
    EXPECT_EQ(photo.transform(), transform);
    EXPECT_EQ(photo.center(), centre);
    EXPECT_DOUBLE_EQ(placement.totalScaleChange(), 1.125);

    // Mirroring changes the pixels only.
    EXPECT_EQ(photo.image()->bitmap().pixelColor(0, 10), QColor(Qt::red));
    editor.actionFlipPhotoImage(nullptr);
    EXPECT_EQ(photo.transform(), transform);
    EXPECT_EQ(photo.center(), centre);
    EXPECT_EQ(photo.image()->bitmap().pixelColor(0, 10), QColor(Qt::blue));
}

// The Classic category's blurred-photo theme: its art until a photo is
// placed, then the photo itself blurred behind it, made again for a new
// photo and for the mirror but never for a gesture.
TEST(EditorScreen, TheBlurredPhotoThemeFollowsThePhotoAndItsMirrorOnly) {
    EditorFixture f("iphone-4in");
    QuillpostVC& editor = f.load();
    const Layer& background = editor.composition().previewSquare().backgroundLayer();
    tap(button(editor.themeStrip()->contentView(), themeButtonTag(0, 6)));
    EXPECT_EQ(editor.theThemeImageName(), "classic_blur.jpg");
    ASSERT_TRUE(background.image());
    const int artWidth = background.image()->width();
    EXPECT_NE(artWidth, 612);

    f.chosenPhoto = f.writePhoto("photo.png", 900, 600);  // red left, blue right
    editor.loadPhoto(nullptr);
    ASSERT_TRUE(background.image());
    const Image blurred = *background.image();
    EXPECT_EQ(blurred.width(), 612);  // the square at the screen's two-fold scale
    EXPECT_GT(blurred.bitmap().pixelColor(20, 20).red(), 180);
    EXPECT_GT(blurred.bitmap().pixelColor(590, 20).blue(), 180);

    editor.touchesBegan();
    editor.panDetected({12, 5});
    editor.pinchDetected(1.2);
    editor.rotationDetected(0.2);
    EXPECT_TRUE(background.image()->isSameImage(blurred));

    editor.actionFlipPhotoImage(nullptr);
    EXPECT_GT(background.image()->bitmap().pixelColor(20, 20).blue(), 180);
    EXPECT_GT(background.image()->bitmap().pixelColor(590, 20).red(), 180);

    // Another theme shows its own art; back again, the blur of the photo.
    tap(button(editor.themeStrip()->contentView(), themeButtonTag(0, 1)));
    EXPECT_EQ(background.image()->width(), artWidth);
    tap(button(editor.themeStrip()->contentView(), themeButtonTag(0, 6)));
    EXPECT_EQ(background.image()->width(), 612);
    EXPECT_GT(background.image()->bitmap().pixelColor(20, 20).blue(), 180);
}

TEST(EditorScreen, UnreadablePhotoLeavesTheCompositionAlone) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    std::filesystem::path junk = f.library() / "junk.jpg";
    std::ofstream(junk) << "not a photo";
    EXPECT_FALSE(editor.placePhotoFile(junk));
    EXPECT_FALSE(editor.composition().placement().previewPhotoIsRealPhoto());
}

TEST(EditorScreen, MissingPhotoLibraryShowsTheAlert) {
    AlertView::setHeadless(true);
    EditorFixture f;
    f.config.set(config::kPhotoLibrary, (f.home.path() / "nowhere").string());
    f.editor = std::make_shared<QuillpostVC>("QuillpostVC_iPhone", f.context);
    QuillpostVC& editor = f.load();
    const int alerts = AlertView::shownCount();
    editor.loadPhoto(nullptr);
    EXPECT_EQ(AlertView::shownCount(), alerts + 1);
    QApplication::processEvents();  // the headless alert is answered
    EXPECT_EQ(f.pickerOpened, 0);
}

TEST(EditorScreen, DoubleTapOpensThePickerOnlyForAPhotoSlotTheme) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    editor.doubleTapDetected({100, 100});
    EXPECT_EQ(f.pickerOpened, 1);
    editor.doubleTapDetected({400, 100});  // outside the background
    EXPECT_EQ(f.pickerOpened, 1);
}

TEST(EditorScreen, MessageBoxLimitsAndCounts) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    auto* text = dynamic_cast<TextView*>(editor.outlet("editableTextView"));
    EXPECT_TRUE(editor.textViewShouldBeginEditing(*text));
    EXPECT_TRUE(text->text().isEmpty());
    EXPECT_FALSE(editor.textIsPlaceholdertext());

    text->setText(QString(150, QChar('a')));
    editor.textViewDidChange(*text);
    EXPECT_EQ(text->text().size(), 120);
    EXPECT_EQ(counterText(editor), "120 / 120");
    EXPECT_EQ(editor.composition().message(), std::string(120, 'a'));

    // A pair straddling the limit is not split.
    text->setText(QString(119, QChar('b')) + QString::fromUtf8("\xF0\x9F\x98\x80"));
    editor.textViewDidChange(*text);
    EXPECT_EQ(text->text(), QString(119, QChar('b')));
    EXPECT_EQ(counterText(editor), "119 / 120");

    // Editing again over user text keeps it; clear does not bring the
    // placeholder back.
    EXPECT_TRUE(editor.textViewShouldBeginEditing(*text));
    EXPECT_EQ(text->text().size(), 119);
    editor.actionClearText(nullptr);
    EXPECT_TRUE(text->text().isEmpty());
    EXPECT_EQ(counterText(editor), "0 / 120");
    editor.textViewDidEndEditing(*text);
    EXPECT_FALSE(editor.textIsPlaceholdertext());
    EXPECT_TRUE(text->text().isEmpty());
}

TEST(EditorScreen, SliderDragRefreshesOnceOnTouchUp) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    const int start = editor.textLayerRefreshCount();
    editor.handleFontSizeSlider(30.4f);
    editor.handleFontSizeSlider(30.6f);
    EXPECT_EQ(editor.currentFontSize(), 31);
    editor.touchUpSlider();
    f.queue.advance(std::chrono::seconds(1));
    EXPECT_EQ(editor.textLayerRefreshCount(), start + 1);
    // A theme change puts the slider back to the theme's default.
    tap(button(editor.themeStrip()->contentView(), themeButtonTag(0, 1)));
    EXPECT_EQ(editor.currentFontSize(), 24);
}

TEST(EditorScreen, AppearingOpensThePickerOnceAfterStart) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    f.state.setStartButtonWasPressed(true);
    editor.beginAppearance(true, false);
    editor.endAppearance(true, false);
    EXPECT_EQ(f.pickerOpened, 1);
    EXPECT_FALSE(f.state.startButtonWasPressed());
    editor.beginAppearance(false, false);
    editor.endAppearance(false, false);
    EXPECT_EQ(f.defaults.synchronizeCount(), 1);
    editor.beginAppearance(true, false);
    editor.endAppearance(true, false);
    EXPECT_EQ(f.pickerOpened, 1);
    editor.viewDidUnload();
    EXPECT_EQ(f.analytics.eventNames().back(), kViewDidUnloadEvent);
}

// Share writes a 612 × 612 hand-off file showing the photo, and names the theme.
TEST(EditorScreen, ShareWritesTheHandOffFileOnEveryProfile) {
    for (const char* name : kProfiles) {
        SCOPED_TRACE(name);
        EditorFixture f(name);
        QuillpostVC& editor = f.load();
        f.chosenPhoto = f.writePhoto("photo.png", 800, 612);
        editor.loadPhoto(nullptr);
        editor.actionShareButton(nullptr);
        ASSERT_FALSE(f.analytics.events.empty());
        EXPECT_EQ(f.analytics.events.back().name, kThemeUsedEvent);
        EXPECT_EQ(f.analytics.events.back().parameters.at(kThemeNameParameter),
                  "classic_white.jpg");
        const std::filesystem::path file = f.paths.documents() / "savedImage.igo";
        ASSERT_TRUE(std::filesystem::exists(file));
        QImage saved(QString::fromStdString(file.string()), "JPG");
        ASSERT_EQ(saved.size(), QSize(612, 612));
        // The photo spans the square's width: red on the left, blue on the right.
        const QColor left = saved.pixelColor(100, 306);
        const QColor right = saved.pixelColor(512, 306);
        EXPECT_GT(left.red(), 200);
        EXPECT_LT(left.blue(), 60);
        EXPECT_GT(right.blue(), 200);
        EXPECT_LT(right.red(), 60);
        EXPECT_FALSE(editor.composition().previewSquare().gridLayer().isHidden());
        ASSERT_TRUE(editor.theShareImage().has_value());
    }
}

TEST(EditorScreen, ShareSheetLayoutFollowsTheDeviceClass) {
    const DeviceProfile phone = *deviceProfileNamed("iphone");
    const DeviceProfile tablet = *deviceProfileNamed("ipad");
    EXPECT_EQ(QuillpostVC::shareLayoutName(1, phone), "SharePopupVC_iPhone");
    EXPECT_EQ(QuillpostVC::shareLayoutName(2, phone), "SharePopupVC_iPhone");
    EXPECT_EQ(QuillpostVC::shareLayoutName(3, phone), "SharePopupVC_iPhone40");
    EXPECT_EQ(QuillpostVC::shareLayoutName(4, tablet), "SharePopupVC_iPad");
    EXPECT_EQ(QuillpostVC::shareLayoutName(5, tablet), "SharePopupVC_iPad");
    // An unknown class gets the nearest variant for the screen.
    EXPECT_EQ(QuillpostVC::shareLayoutName(0, phone), "SharePopupVC_iPhone");
    EXPECT_EQ(QuillpostVC::shareLayoutName(0, tablet), "SharePopupVC_iPad");
}

// The sheet comes with a cross-dissolve and shows the very image written;
// back from it, the editor refreshes its text layer and keeps the picker shut.
TEST(EditorScreen, ShareShowsTheSheetAndBackReturnsToTheSameComposition) {
    EditorFixture f("ipad");
    f.state.setDeviceType(4);
    QuillpostVC& editor = f.load();
    editor.beginAppearance(true, false);
    editor.endAppearance(true, false);
    f.chosenPhoto = f.writePhoto("photo.png", 640, 480);
    ASSERT_TRUE(editor.placePhotoFile(f.chosenPhoto));
    const double scaleBefore = editor.composition().placement().totalScaleChange();

    editor.actionShareButton(nullptr);
    auto* sheet = dynamic_cast<SharePopupVC*>(editor.presentedViewController());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->layoutName(), "SharePopupVC_iPad");
    EXPECT_EQ(sheet->modalTransitionStyle(), ModalTransitionStyle::CrossDissolve);
    ASSERT_TRUE(sheet->theShareImage().has_value());
    EXPECT_TRUE(sheet->theShareImage()->isSameImage(*editor.theShareImage()));
    EXPECT_FALSE(sheet->outlet<QLabel>(kShareImageViewName)->pixmap().isNull());
    f.queue.advance(std::chrono::seconds(1));  // the fade in

    const int refreshes = editor.textLayerRefreshCount();
    sheet->actionBackFromShareButton(nullptr);
    f.queue.advance(std::chrono::seconds(1));  // the fade out
    EXPECT_EQ(editor.presentedViewController(), nullptr);
    EXPECT_EQ(editor.textLayerRefreshCount(), refreshes + 1);
    EXPECT_EQ(f.pickerOpened, 0);
    EXPECT_EQ(editor.composition().placement().totalScaleChange(), scaleBefore);
}

// The toolkit's recognizers on the square reach the placement: a drag moves
// the photo, a wheel turn pinches it, a double click opens the picker.
TEST(EditorScreen, MouseInputOnTheSquareDrivesThePlacement) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    f.chosenPhoto = f.writePhoto("photo.png", 900, 700);
    editor.loadPhoto(nullptr);
    QWidget* square = editor.previewSquareView();
    const Layer& photo = editor.composition().previewSquare().photoLayer();
    const Point before = photo.center();

    drag(square, {150, 150}, {40, 20});
    EXPECT_GT(photo.center().x, before.x + 20);
    EXPECT_LE(photo.center().x, before.x + 40.5);
    EXPECT_GT(photo.center().y, before.y);

    const double scale = editor.composition().placement().totalScaleChange();
    wheel(square, {150, 150}, 1);
    f.queue.advance(std::chrono::seconds(1));
    EXPECT_GT(editor.composition().placement().totalScaleChange(), scale);

    const int opened = f.pickerOpened;
    sendMouse(square, QEvent::MouseButtonDblClick, {100, 100}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(square, QEvent::MouseButtonRelease, {100, 100}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(f.pickerOpened, opened + 1);
}

// A theme whose "photo enabled" is written in lower case has no photo slot,
// and one without size keys gives a slider from 0 to 0.
TEST(EditorScreen, ThemeWithoutSlotOrSizesHidesPhotoButtons) {
    TempResources resources;
    resources.writeCategory(0, {ThemeRecord({{kImageKey, "plain.jpg"}, {kPhotoEnabledKey, "yes"}}),
                                ThemeRecord({{kImageKey, "slot.jpg"},
                                             {kPhotoEnabledKey, "YES"},
                                             {kDefaultFontSizeKey, "24"},
                                             {kMinMaxFontSizeKey, "12,48"}})});
    EditorFixture f("iphone", resources.root());
    QuillpostVC& editor = f.load();
    auto* slider = dynamic_cast<Slider*>(editor.outlet("fontSizeSlider"));
    EXPECT_EQ(editor.theThemeImageName(), "plain.jpg");
    EXPECT_FALSE(editor.outlet("flipButton")->isVisibleTo(editor.view()));
    EXPECT_FALSE(editor.outlet("loadPhotoButton")->isVisibleTo(editor.view()));
    EXPECT_FLOAT_EQ(slider->maximumValue(), 0);
    EXPECT_FLOAT_EQ(slider->value(), 0);
    editor.doubleTapDetected({100, 100});
    EXPECT_EQ(f.pickerOpened, 0);

    tap(button(editor.themeStrip()->contentView(), themeButtonTag(0, 1)));
    EXPECT_TRUE(editor.outlet("flipButton")->isVisibleTo(editor.view()));
    EXPECT_FLOAT_EQ(slider->minimumValue(), 12);
    EXPECT_FLOAT_EQ(slider->value(), 24);

    // Without a photo slot the shared result is fully transparent.
    tap(button(editor.themeStrip()->contentView(), themeButtonTag(0, 0)));
    editor.actionShareButton(nullptr);
    ASSERT_TRUE(editor.theShareImage().has_value());
    EXPECT_EQ(editor.theShareImage()->bitmap().pixelColor(306, 306).alpha(), 0);
}

TEST(EditorScreen, ANewCategoryScrollsTheStripBackToTheStart) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    editor.view()->show();  // the strip scrolls only once it has a size on screen
    QWidget* categories = editor.categoryStrip()->contentView();
    tap(button(categories, categoryButtonTag(1)));
    editor.themeStrip()->setContentOffsetAnimated({200, 0}, false);
    ASSERT_GT(editor.themeStrip()->contentOffset().x, 0);
    tap(button(categories, categoryButtonTag(2)));
    EXPECT_EQ(editor.themeStrip()->contentOffset().x, 0);
    EXPECT_EQ(themeButtonCount(editor), 6);
}

TEST(EditorScreen, TextViewFontFollowsTheIdiom) {
    for (const auto& [name, size] : {std::pair{"iphone", 16}, std::pair{"ipad", 30}}) {
        EditorFixture f(name);
        QuillpostVC& editor = f.load();
        EXPECT_EQ(editor.outlet("editableTextView")->font().pointSize(), size) << name;
    }
}

// The slider's own events reach the editor: pressing its middle moves the
// size there, and lifting the finger refreshes the text layer once.
TEST(EditorScreen, SliderEventsAreWired) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    auto* slider = dynamic_cast<Slider*>(editor.outlet("fontSizeSlider"));
    const int start = editor.textLayerRefreshCount();
    const QPointF centre(slider->width() / 2.0, slider->height() / 2.0);
    sendMouse(slider, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
    EXPECT_NEAR(editor.currentFontSize(), 30, 1);
    EXPECT_EQ(editor.currentFontSize(), std::floor(editor.currentFontSize()));
    f.queue.advance(std::chrono::seconds(1));
    EXPECT_EQ(editor.textLayerRefreshCount(), start + 1);
}

// The editor on screen, fed by `feed`, with the theme-of-the-day category
// tapped.
QuillpostVC& browseThemeOfTheDay(EditorFixture& f, FakeThemeFeed& feed) {
    f.editor->setThemeFeed(&feed);
    QuillpostVC& editor = f.load();
    editor.beginAppearance(true, false);
    editor.endAppearance(true, false);
    tap(button(editor.categoryStrip()->contentView(), categoryButtonTag(5)));
    return editor;
}

// The feed's new theme-of-the-day images and record reach the screen: the
// strip's thumbnails, and the applied theme's settings; the share names it
// "COTD" whatever the feed's record calls its image.
TEST(EditorScreen, NewThemeOfTheDayImagesReachTheScreenAndTheShare) {
    EditorFixture f;
    FakeThemeFeed feed;
    QuillpostVC& editor = browseThemeOfTheDay(f, feed);
    EXPECT_EQ(feed.loadRequests, 1);
    Button* thumb = button(editor.themeStrip()->contentView(), themeButtonTag(5, 0));
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->imageForState(ControlState::Normal).width(), 3);

    feed.thumbSide = 9;
    feed.record = ThemeRecord({{kImageKey, "cotd_winter.jpg"},
                               {kPhotoEnabledKey, "YES"},
                               {kDefaultFontSizeKey, "30"},
                               {kMinMaxFontSizeKey, "10,60"}});
    const int refreshes = editor.textLayerRefreshCount();
    f.notifications.post(kNewCOTDImagesLoaded);
    f.queue.runPending();
    thumb = button(editor.themeStrip()->contentView(), themeButtonTag(5, 0));
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->imageForState(ControlState::Normal).width(), 9);
    ASSERT_TRUE(editor.catalogue().appliedSettings().has_value());
    EXPECT_TRUE(editor.catalogue().appliedSettings()->recordFromFeed);
    EXPECT_EQ(editor.currentFontSize(), 30);
    EXPECT_EQ(editor.textLayerRefreshCount(), refreshes + 1);

    editor.actionShareButton(nullptr);
    EXPECT_EQ(f.analytics.events.back().parameters.at(kThemeNameParameter), "COTD");

    // Away from the theme of the day the notification changes no theme.
    f.queue.advance(std::chrono::seconds(1));
    editor.presentedViewController()->dismissViewControllerAnimated(false);
    tap(button(editor.categoryStrip()->contentView(), categoryButtonTag(1)));
    const std::string applied = editor.theThemeImageName();
    f.notifications.post(kNewCOTDImagesLoaded);
    f.queue.runPending();
    EXPECT_EQ(editor.theThemeImageName(), applied);
}

// Each share writes the hand-off file afresh, replacing the one before.
TEST(EditorScreen, EveryShareReplacesTheHandOffFile) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    editor.actionShareButton(nullptr);
    const std::filesystem::path file = f.paths.documents() / "savedImage.igo";
    ASSERT_TRUE(std::filesystem::exists(file));
    std::filesystem::resize_file(file, 10);  // spoil the first one
    f.queue.advance(std::chrono::seconds(1));
    editor.presentedViewController()->dismissViewControllerAnimated(false);
    editor.actionShareButton(nullptr);
    EXPECT_EQ(QImage(QString::fromStdString(file.string()), "JPG").size(), QSize(612, 612));
}

// Pasting a long text goes through the same limit as typing.
TEST(EditorScreen, PastedTextIsCutTo120) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    auto* text = dynamic_cast<TextView*>(editor.outlet("editableTextView"));
    ASSERT_TRUE(text->becomeFirstResponder());
    QApplication::clipboard()->setText(QString(150, QChar('p')));
    text->paste();
    EXPECT_EQ(text->text().size(), 120);
    EXPECT_EQ(counterText(editor), "120 / 120");
    EXPECT_EQ(editor.composition().message(), std::string(120, 'p'));
}

// The cap is a total scale: 2 points per photo pixel. A large photo is
// decoded whole, so a share at the cap is as sharp as the photo allows (a
// decode for twice the fit kept a quarter or half of this photo's width).
TEST(EditorScreen, LargePhotoIsDecodedForTheZoomCap) {
    // Black and white squares of 2 × 2 pixels: any shrunk decode turns them
    // grey.
    QImage checker(4032, 3024, QImage::Format_RGB32);
    for (int y = 0; y < checker.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(checker.scanLine(y));
        for (int x = 0; x < checker.width(); ++x) {
            row[x] = (x / 2 + y / 2) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        }
    }
    for (const char* profile : {"iphone", "ipad-retina"}) {
        SCOPED_TRACE(profile);
        EditorFixture f(profile);
        QuillpostVC& editor = f.load();
        const std::filesystem::path path = f.library() / "checker.jpg";
        ASSERT_TRUE(checker.save(QString::fromStdString(path.string()), "JPG", 100));
        ASSERT_TRUE(editor.placePhotoFile(path));
        const Layer& photo = editor.composition().previewSquare().photoLayer();
        ASSERT_TRUE(photo.image());
        EXPECT_EQ(photo.image()->width(), 4032);
        EXPECT_EQ(photo.image()->height(), 3024);

        PhotoPlacement& placement = editor.composition().placement();
        editor.touchesBegan();
        editor.pinchDetected(2.0 / placement.totalScaleChange());
        EXPECT_DOUBLE_EQ(placement.totalScaleChange(), 2.0);
        editor.actionShareButton(nullptr);
        ASSERT_TRUE(editor.theShareImage());
        const QImage& shared = editor.theShareImage()->bitmap();
        int dark = 0, light = 0;
        for (int y = 280; y < 332; ++y) {
            for (int x = 280; x < 332; ++x) {
                const int grey = qGray(shared.pixel(x, y));
                dark += grey < 60;
                light += grey > 195;
            }
        }
        // The squares stay black and white, not a blur of grey (a decode
        // halved or quartered left fewer than 170 such pixels here, or none).
        EXPECT_GT(dark, 400);
        EXPECT_GT(light, 400);
    }
}

// New theme-of-the-day images keep the size the user chose on the slider
// (within the new record's range); an untouched slider follows the record.
TEST(EditorScreen, ThemeOfTheDayRefreshKeepsTheChosenFontSize) {
    EditorFixture f;
    FakeThemeFeed feed;
    QuillpostVC& editor = browseThemeOfTheDay(f, feed);
    auto* slider = dynamic_cast<Slider*>(editor.outlet("fontSizeSlider"));
    ASSERT_TRUE(editor.catalogue().appliedSettings());
    const TextStyle& style = editor.catalogue().appliedSettings()->textStyle;
    double chosen = std::round(style.fontMinSize + (style.fontMaxSize - style.fontMinSize) * 0.75);
    if (chosen == style.fontDefaultSize) chosen -= 1;
    ASSERT_GT(chosen, 12);
    editor.handleFontSizeSlider(float(chosen));
    editor.touchUpSlider();
    EXPECT_EQ(editor.currentFontSize(), chosen);

    struct Step {
        std::string range;  // the feed record's "min-max font size"; empty: no record
        double expected;
    };
    const Step steps[] = {
        {"", chosen},                                   // new pictures only
        {fmt::format("4,{}", chosen + 10), chosen},     // a range that holds the size
        {fmt::format("4,{}", chosen - 2), chosen - 2},  // a range below it: its top
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.range);
        feed.thumbSide += 2;
        if (!step.range.empty()) {
            feed.record = ThemeRecord({{kImageKey, "cotd.jpg"},
                                       {kPhotoEnabledKey, "YES"},
                                       {kDefaultFontSizeKey, "9"},
                                       {kMinMaxFontSizeKey, step.range}});
        }
        const int refreshes = editor.textLayerRefreshCount();
        f.notifications.post(kNewCOTDImagesLoaded);
        f.queue.runPending();
        EXPECT_EQ(editor.currentFontSize(), step.expected);
        EXPECT_FLOAT_EQ(slider->value(), float(step.expected));
        EXPECT_EQ(editor.textLayerRefreshCount(), refreshes + 1);
    }

    // Choosing a theme again starts from its default; then a refresh
    // follows the record's default too.
    tap(button(editor.categoryStrip()->contentView(), categoryButtonTag(1)));
    tap(button(editor.categoryStrip()->contentView(), categoryButtonTag(5)));
    EXPECT_EQ(editor.currentFontSize(), 9);
    feed.record->setValue(kDefaultFontSizeKey, "7");
    f.notifications.post(kNewCOTDImagesLoaded);
    f.queue.runPending();
    EXPECT_EQ(editor.currentFontSize(), 7);
}
