#include "editor/ui/QuillpostVC.h"

#include <QAbstractButton>
#include <QLabel>
#include <QStandardPaths>
#include <QStyle>

#include <fmt/format.h>

#include <algorithm>
#include <limits>
#include <string_view>

#include "analytics/AnalyticsRecorder.h"
#include "appkit/AppHelpers.h"
#include "appkit/Configuration.h"
#include "appkit/LayoutVariant.h"
#include "editor/ThemeCategory.h"
#include "editor/composition/PhotoSource.h"
#include "editor/composition/ResultFile.h"
#include "editor/ui/PhotoDropTarget.h"
#include "editor/ui/PreviewSquareView.h"
#include "editor/ui/SliderRefreshTimer.h"
#include "editor/ui/ThemeStripLayout.h"
#include "platform/AppState.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/plist/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/PinchGestureRecognizer.h"
#include "platform/ui/RotationGestureRecognizer.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TouchesBeganHook.h"
#include "platform/ui/UiTiming.h"
#include "platform/ui/ViewFrame.h"

namespace qp {

namespace {

// Pinches may show the photo at up to the zoom cap, 2 points per photo
// pixel, that is 2 × the screen's scale device pixels: on every screen more
// than the photo has, so a shrunk decode would be stretched at the cap.
// Every pixel is decoded (within the decoder's 100-megapixel limit).
constexpr double kDecodeWholePhoto = std::numeric_limits<double>::infinity();
constexpr double kPhoneScreenWidth = 320;
constexpr double kPadScreenWidth = 768;
constexpr int kPhoneTextFontSize = 16;
constexpr int kPadTextFontSize = 30;
const Rect kPickerPopoverAnchor{284, 180, 100, 500};
constexpr const char* kShareScreen = "SharePopupVC";
// The buttons that bring up the panel's pages, when the layout has them.
constexpr const char* kTextPageButtonName = "textPageButton";
constexpr const char* kThemesPageButtonName = "themesPageButton";

void registerPreviewSquareView() {
    LayoutLoader::shared().registerWidgetClass(
        kPreviewSquareViewClass, [](QWidget* parent) { return new PreviewSquareView(parent); });
}

}  // namespace

QuillpostVC::QuillpostVC(std::string layoutName, const AppContext& context)
    : ViewController(std::move(layoutName)),
      m_context(context),
      m_device(context.device ? *context.device : currentDeviceProfile()) {
    registerPreviewSquareView();
    m_resources = m_context.paths ? m_context.paths->resources()
                                  : Paths::locateResources(Paths::executableFolder());
    if (m_context.config && !m_context.config->value(config::kPhotoLibrary).empty()) {
        m_photoLibrary = m_context.config->value(config::kPhotoLibrary);
    } else {
        m_photoLibrary =
            QStandardPaths::writableLocation(QStandardPaths::PicturesLocation).toStdString();
    }
}

QuillpostVC::~QuillpostVC() {
    if (m_context.notifications) {
        for (auto id : m_observers) m_context.notifications->removeObserver(id);
    }
}

std::vector<std::string> QuillpostVC::requiredOutlets() const {
    return {"previewView",
            "selectThemeView",
            "selectCategoryScrollView",
            "selectThemeScrollView",
            "highlightView",
            "enterTextView",
            "panelPages",
            "editableTextView",
            "editableTextLengthLabel",
            "fontSizeSlider",
            "flipButton",
            "loadPhotoButton",
            "shareButton",
            "backButton",
            "undoButton",
            "redoButton"};
}

std::map<std::string, ViewController::Action> QuillpostVC::actions() {
    return {
        {"actionBackButton", [this](QObject* s) { actionBackButton(s); }},
        {"actionBackFromSelectThemeButton",
         [this](QObject* s) { actionBackFromSelectThemeButton(s); }},
        {"actionShareButton", [this](QObject* s) { actionShareButton(s); }},
        {"loadPhoto", [this](QObject* s) { loadPhoto(s); }},
        {"actionFlipPhotoImage", [this](QObject* s) { actionFlipPhotoImage(s); }},
        {"actionClearText", [this](QObject* s) { actionClearText(s); }},
        {"actionShowTextPage", [this](QObject* s) { actionShowTextPage(s); }},
        {"actionShowThemesPage", [this](QObject* s) { actionShowThemesPage(s); }},
        {"actionUndoButton", [this](QObject* s) { actionUndoButton(s); }},
        {"actionRedoButton", [this](QObject* s) { actionRedoButton(s); }},
    };
}

Composition& QuillpostVC::composition() {
    return m_preview->composition();
}

double QuillpostVC::currentFontSize() const {
    return m_preview ? m_preview->composition().currentFontSize() : 0;
}

// --- lifecycle ----------------------------------------------------------------

void QuillpostVC::viewDidLoad() {
    m_preview = dynamic_cast<PreviewSquareView*>(outlet("previewView"));
    m_categoryStrip = dynamic_cast<ScrollView*>(outlet("selectCategoryScrollView"));
    m_themeStrip = dynamic_cast<ScrollView*>(outlet("selectThemeScrollView"));
    m_highlight = outlet("highlightView");
    m_enterTextView = outlet("enterTextView");
    m_selectThemeView = outlet("selectThemeView");
    m_panelPages = outlet("panelPages");
    m_textView = dynamic_cast<TextView*>(outlet("editableTextView"));
    m_counter = dynamic_cast<QLabel*>(outlet("editableTextLengthLabel"));
    m_slider = dynamic_cast<Slider*>(outlet("fontSizeSlider"));
    m_flipButton = outlet("flipButton");
    m_loadPhotoButton = outlet("loadPhotoButton");
    m_undoButton = outlet("undoButton");
    m_redoButton = outlet("redoButton");
    m_preview->resetComposition(m_device);

    if (!m_externalFeed && m_context.themeFeed) m_externalFeed = m_context.themeFeed();
    if (!m_externalFeed) m_fallbackFeed = std::make_unique<FallbackThemeFeed>(m_resources);
    ThemeFeed& feed = m_externalFeed ? *m_externalFeed : *m_fallbackFeed;
    m_catalogue = std::make_unique<ThemeCatalogue>(m_resources, feed, m_context.state);
    m_sliderTimer =
        std::make_unique<SliderRefreshTimer>(mainQueue(), [this] { refreshTextLayer(); });

    // The message box.
    m_textView->setDelegate(this);
    m_textView->setReturnKeyType(ReturnKeyType::Default);
    m_counter->setAlignment(Qt::AlignCenter);
    updateCounter();
    setPlaceHolderText();
    QFont font = m_textView->font();
    font.setPointSize(m_device.isPad() ? kPadTextFontSize : kPhoneTextFontSize);
    m_textView->setTextFont(font);
    // The text page sits one screen width left of the themes page; the
    // panels' pager brings either into view, the editor never moves it.
    const double screenWidth = m_device.isPad() ? kPadScreenWidth : kPhoneScreenWidth;
    Rect textFrame = viewFrame(m_enterTextView);
    textFrame.origin.x = viewFrame(m_selectThemeView).origin.x - screenWidth;
    setViewFrame(m_enterTextView, textFrame);

    // The strips.
    for (ScrollView* strip : {m_categoryStrip, m_themeStrip}) {
        strip->setPagingEnabled(false);
        strip->setScrollEnabled(true);
        strip->setBounces(true);
        strip->setShowsHorizontalScrollIndicator(true);
        strip->setShowsVerticalScrollIndicator(false);
        strip->setScrollsToTop(false);
        strip->setDelegate(this);
        strip->setContentSize({500, double(strip->height())});
    }
    // The highlight moves with the theme buttons, so it lives in the strip.
    const Rect highlight = viewFrame(m_highlight);
    m_highlight->setParent(m_themeStrip->contentView());
    setViewFrame(m_highlight, highlight.offsetBy(0, -m_themeStrip->y()));
    m_highlight->hide();
    buildCategoryRow();

    m_catalogue->setThemeIdx(themeButtonTag(0, 0));
    m_catalogue->setCategoryIdx(categoryButtonTag(0));
    m_catalogue->setCurrentCategoryIdx(categoryButtonTag(0));
    fetchThemeData();

    m_slider->setMinimumTrackImage(namedImage(kSliderBarImage), 8, 0);
    m_slider->setMaximumTrackImage(namedImage(kSliderBarImage), 8, 0);
    m_slider->setThumbImageForState(namedImage(kSliderThumbImage), ControlState::Normal);
    m_slider->setThumbImageForState(namedImage(kSliderThumbImage), ControlState::Highlighted);
    m_slider->setRotation(kSliderRotation);
    setupFontSizeSliderFromThemeData();
    m_slider->addTargetForControlEvents([this](Slider* s) { handleFontSizeSlider(s->value()); },
                                        kControlEventValueChanged);
    m_slider->addTargetForControlEvents([this](Slider*) { touchUpSlider(); },
                                        kControlEventTouchUpInside | kControlEventTouchUpOutside);

    installGestures();

    m_catalogue->setCategoryIdx(m_catalogue->currentCategoryIdx());
    setupSelectCategoryScrollView();
    fetchThemeData();
    showThemeBackground();

    // The first category's themes are shown from the start: its button is
    // the browsed one, so tapping it would not fill the strip.
    setIndicatorImage(categoryIndicatorTag(0), kCategorySelectedImage);
    setupSelectThemeScrollView(false);
    moveHighlightTo(m_catalogue->themeIdx());
    showPanelPage(false);

    m_history.emplace(snapshot());
    updateUndoButtons();
    // A photo dropped on the editor is placed as if picked; the drag's
    // source is let go before the photo is read.
    new PhotoDropTarget(view(), [this](const std::filesystem::path& file) {
        if (MainQueue* queue = mainQueue()) {
            queue->post([this, file, alive = QPointer<QWidget>(view())] {
                if (alive) placePhotoOrAlert(file);
            });
        } else {
            placePhotoOrAlert(file);
        }
    });
}

void QuillpostVC::viewWillAppear(bool) {
    refreshTextLayer();
}

void QuillpostVC::viewDidAppear(bool) {
    if (m_context.notifications) {
        m_observers.push_back(m_context.notifications->addObserver(
            kNewCOTDImagesLoaded, nullptr, [this](const auto&) { handleNewCOTDimagesLoaded(); }));
    }
    if (m_context.state && m_context.state->startButtonWasPressed()) loadPhoto(nullptr);
    if (m_context.state) m_context.state->setStartButtonWasPressed(false);
}

void QuillpostVC::viewWillDisappear(bool) {
    if (m_context.defaults) m_context.defaults->synchronize();
}

void QuillpostVC::viewDidDisappear(bool) {
    if (m_context.notifications) {
        for (auto id : m_observers) m_context.notifications->removeObserver(id);
    }
    m_observers.clear();
}

void QuillpostVC::viewDidUnload() {
    if (m_context.analytics) m_context.analytics->logEvent(kViewDidUnloadEvent);
    if (m_context.defaults) m_context.defaults->synchronize();
}

void QuillpostVC::didReceiveMemoryWarning() {
    logLine("-[QuillpostVC didReceiveMemoryWarning]");
}

bool QuillpostVC::shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const {
    return orientation == InterfaceOrientation::Portrait ||
           orientation == InterfaceOrientation::PortraitUpsideDown;
}

// --- themes -------------------------------------------------------------------

void QuillpostVC::fetchThemeData() {
    if (auto settings = m_catalogue->fetchThemeData()) applySettings(*settings);
}

void QuillpostVC::applySettings(const ThemeSettings& settings) {
    composition().applyTheme(settings, *m_catalogue);
    m_themeImageName = settings.themeImageName;
    setPhotoButtonsVisible(settings.photoEnabled);
    layersChanged();
}

void QuillpostVC::showThemeBackground() {
    composition().showBackgroundArt(
        m_catalogue->imageFor(ThemeImageRef::resource(m_themeImageName)));
    layersChanged();
}

void QuillpostVC::actionThemeBtnSelect(QObject* sender) {
    doTheWorkForThemeBtnSelect(tagOf(sender));
}

void QuillpostVC::doTheWorkForThemeBtnSelect(int tag) {
    const ThemeSelection selection = m_catalogue->doTheWorkForThemeBtnSelect(tag);
    if (!selection.selected) return;
    if (selection.applied) applySettings(*selection.applied);
    setupFontSizeSliderFromThemeData();
    moveHighlightTo(tag);
    refreshTextLayer();
    recordStep();
}

void QuillpostVC::actionCategoryBtnSelect(QObject* sender) {
    selectCategory(tagOf(sender));
    recordStep();
}

void QuillpostVC::selectCategory(int tag) {
    const int previousCurrent = m_catalogue->currentCategoryIdx();
    const CategorySelection selection = m_catalogue->actionCategoryBtnSelect(tag);
    if (!selection.categoryChanged) return;
    setIndicatorImage(selection.deselectedIndicatorTag, kCategoryNotSelectedImage);
    setIndicatorImage(selection.selectedIndicatorTag, kCategorySelectedImage);
    setupSelectThemeScrollView(m_catalogue->categoryIdx() != previousCurrent);
    if (selection.firstTheme.selected) {
        if (selection.firstTheme.applied) applySettings(*selection.firstTheme.applied);
        setupFontSizeSliderFromThemeData();
        moveHighlightTo(m_catalogue->themeIdx());
        refreshTextLayer();
    }
    m_highlight->setVisible(selection.highlightVisible);
}

void QuillpostVC::setupSelectThemeScrollView(bool scrollToStart) {
    for (auto& button : m_themeButtons) delete button.data();
    m_themeButtons.clear();

    const ThemeStripLayout layout = ThemeStripLayout::forIdiom(m_device.isPad());
    const int category = categoryFromButtonTag(m_catalogue->categoryIdx());
    const std::vector<ThemeImageRef> images = m_catalogue->themeButtonImages(category);
    const int count = static_cast<int>(images.size());
    m_themeStrip->setContentSize({layout.contentWidth(count), double(m_themeStrip->height())});
    for (int i = 0; i < count; ++i) {
        auto* button = new Button(m_themeStrip->contentView());
        setViewFrame(button, layout.buttonFrame(i));
        button->setTag(themeButtonTag(category, i));
        button->addTargetForControlEvents([this](Button* b) { actionThemeBtnSelect(b); },
                                          kControlEventTouchUpInside);
        if (auto image = m_catalogue->imageFor(images[static_cast<std::size_t>(i)])) {
            button->setImageForState(QPixmap::fromImage(image->bitmap()), ControlState::Normal);
        }
        button->show();
        m_themeButtons.emplace_back(button);
    }
    m_highlight->lower();

    if (scrollToStart) {
        m_themeStrip->scrollRectToVisibleAnimated({0, 0, 50, 50}, false);
    } else if (QWidget* applied =
                   viewWithTag(m_themeStrip->contentView(), m_catalogue->themeIdx())) {
        const Rect frame = viewFrame(applied);
        m_themeStrip->scrollRectToVisibleAnimated(
            Rect(frame.origin.x - 8, frame.origin.y, frame.width() + 12, frame.height()), false);
    }
}

void QuillpostVC::setupSelectCategoryScrollView() {
    const QList<QWidget*> children =
        m_categoryStrip->contentView()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const int tag = tagOf(child);
        if (tag >= kCategoryStripFirstTag && tag <= kCategoryStripLastTag) delete child;
    }
}

void QuillpostVC::handleNewCOTDimagesLoaded() {
    setupSelectCategoryScrollView();
    // The clearing pass alone would leave the old pictures up: the category
    // buttons live in their own row, and tapping the browsed category or the
    // applied theme again changes nothing. So the new images reach the screen
    // here: the strip's thumbnails when the theme of the day is browsed, and
    // the applied theme of the day afresh, so what is shown is what is shared.
    if (m_catalogue->isThemeOfTheDayCategory(m_catalogue->categoryIdx()))
        setupSelectThemeScrollView(false);
    if (auto settings = m_catalogue->refetchAppliedThemeOfTheDay()) {
        // New pictures are no reason to undo the size the user chose with
        // the slider; a new record may move the range, and the size stays
        // within it. Untouched, the size follows the record's default.
        const bool sizeWasChosen = m_fontSizeChosen;
        const double chosenSize = composition().currentFontSize();
        applySettings(*settings);
        setupFontSizeSliderFromThemeData();
        if (sizeWasChosen) keepChosenFontSize(chosenSize, settings->textStyle);
        refreshTextLayer();
        // New pictures for the same theme are not the user's step.
        if (m_history) m_history->amend(snapshot());
    }
}

void QuillpostVC::buildCategoryRow() {
    const bool pad = m_device.isPad();
    const double gap = pad ? 12 : 6;
    const double width = pad ? 120 : 70;
    const double indicatorHeight = pad ? 10 : 6;
    // The strip's scroll indicator takes room below the row.
    const double indicatorRoom = m_categoryStrip->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const double height = m_categoryStrip->height() - indicatorRoom - indicatorHeight - 6;
    const std::vector<int> numbers = bundledCategoryNumbers(m_resources);

    m_categoryRow = new QWidget(m_categoryStrip->contentView());
    m_categoryRow->setObjectName(kCategoryRowName);
    double x = gap;
    for (int n : numbers) {
        auto* button = new Button(m_categoryRow);
        button->setObjectName(QString::fromStdString(fmt::format("categoryButton{}", n)));
        setViewFrame(button, {x, 2, width, height});
        button->setTag(categoryButtonTag(n));
        const auto category = m_catalogue->readCategory(n);
        const std::string title =
            category && !category->name.empty() ? category->name : fmt::format("{}", n);
        button->setText(QString::fromStdString(title));
        button->addTargetForControlEvents([this](Button* b) { actionCategoryBtnSelect(b); },
                                          kControlEventTouchUpInside);
        auto* indicator = new QLabel(m_categoryRow);
        indicator->setProperty("tag", categoryIndicatorTag(n));
        indicator->setScaledContents(true);
        indicator->setPixmap(namedImage(kCategoryNotSelectedImage));
        setViewFrame(indicator, {x, 4 + height, width, indicatorHeight});
        x += width + gap;
    }
    const double rowWidth = std::max(x, 500.0);
    setViewFrame(m_categoryRow, {0, 0, rowWidth, double(m_categoryStrip->height())});
    m_categoryStrip->setContentSize({rowWidth, double(m_categoryStrip->height())});
    m_categoryRow->show();
}

void QuillpostVC::setIndicatorImage(int tag, const char* imageName) {
    if (auto* indicator = dynamic_cast<QLabel*>(viewWithTag(m_categoryStrip, tag))) {
        indicator->setPixmap(namedImage(imageName));
    }
    // The category's own button shows the choice as well, in the style's
    // selected colours.
    const int buttonTag = categoryButtonTag(tag - kCategoryIndicatorTagBase);
    if (auto* button = dynamic_cast<Button*>(viewWithTag(m_categoryStrip, buttonTag))) {
        button->setSelectedState(std::string_view(imageName) == kCategorySelectedImage);
    }
}

void QuillpostVC::setPhotoButtonsVisible(bool visible) {
    m_flipButton->setVisible(visible);
    m_loadPhotoButton->setVisible(visible);
}

void QuillpostVC::moveHighlightTo(int themeTag) {
    QWidget* button = viewWithTag(m_themeStrip->contentView(), themeTag);
    if (!button || button == m_highlight) return;
    Rect frame = viewFrame(m_highlight);
    frame.origin.x = viewFrame(button).origin.x - 2;
    setViewFrame(m_highlight, frame);
    m_highlight->show();
}

QPixmap QuillpostVC::namedImage(const std::string& name) const {
    return QPixmap(QString::fromStdString((m_resources / "images" / name).string()));
}

void QuillpostVC::layersChanged() {
    if (m_preview) m_preview->layersChanged();
}

// --- photo --------------------------------------------------------------------

bool QuillpostVC::photoLibraryIsReadable() const {
    std::error_code error;
    return !m_photoLibrary.empty() && std::filesystem::is_directory(m_photoLibrary, error) &&
           (std::filesystem::directory_iterator(m_photoLibrary, error), !error);
}

void QuillpostVC::loadPhoto(QObject*) {
    // The picker's popover is up already (a key or a double tap again).
    if (m_popoverController) return;
    if (!photoLibraryIsReadable()) {
        ShowAlert(std::string(kPhotoLibraryErrorTitle), kPhotoLibraryErrorMessage);
        return;
    }
    if (m_photoChooser) {
        if (auto chosen = m_photoChooser(view(), m_photoLibrary)) placePhotoOrAlert(*chosen);
        return;
    }
    m_picker = std::make_shared<PhotoPickerVC>(m_photoLibrary, mainQueue());
    m_picker->setDelegate(this);
    if (m_device.isPad()) {
        m_popoverController = std::make_shared<PopoverController>(m_picker);
        m_popoverController->setDelegate(this);
        m_popoverController->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
            kPickerPopoverAnchor, view(), kPopoverArrowDirectionLeft, true);
    } else {
        presentViewController(m_picker, true);
    }
}

void QuillpostVC::imagePickerControllerDidFinishPicking(PhotoPickerVC&,
                                                        const std::filesystem::path& photo) {
    dismissPicker();
    placePhotoOrAlert(photo);
}

void QuillpostVC::imagePickerControllerDidCancel(PhotoPickerVC&) {
    dismissPicker();
}

void QuillpostVC::dismissPicker() {
    // Thumbnails nobody will see are not worth the cores.
    if (m_picker) m_picker->requestStopThumbnails();
    if (m_popoverController) {
        m_popoverController->dismissPopoverAnimated(true);
        popoverControllerDidDismissPopover(*m_popoverController);
    } else if (presentedViewController() == m_picker.get()) {
        dismissViewControllerAnimated(true);
    }
}

void QuillpostVC::popoverControllerDidDismissPopover(PopoverController&) {
    // The picker's own button may be the caller: let go of the popover once
    // this event is over, not in the middle of it.
    std::shared_ptr<PopoverController> popover = std::move(m_popoverController);
    if (MainQueue* queue = mainQueue()) queue->post([popover] {});
}

MainQueue* QuillpostVC::mainQueue() const {
    return m_context.mainQueue ? m_context.mainQueue : UiTiming::mainQueue();
}

Result<void> QuillpostVC::placePhotoFile(const std::filesystem::path& path) {
    Composition& c = composition();
    auto loaded = readPhotoForSquare(path.string(), kDecodeWholePhoto);
    if (!loaded.ok()) {
        logf("The photo {} could not be read: {}", path.string(), loaded.error().description());
        return loaded.error();
    }
    auto placed = c.placement().importPhoto(loaded.value().image, loaded.value().fullSize);
    if (!placed.ok()) {
        logf("The photo {} could not be placed: {}", path.string(), placed.error().description());
        return placed.error();
    }
    c.refreshPhotoBackground();
    layersChanged();
    // Steps taken on another photo cannot be undone on this one.
    if (m_history) m_history->reset(snapshot());
    updateUndoButtons();
    return {};
}

bool QuillpostVC::placePhotoOrAlert(const std::filesystem::path& path) {
    if (placePhotoFile(path).ok()) return true;
    // The square stays as it was; the log has the decoder's reason.
    ShowAlert(std::string(kUnreadablePhotoTitle),
              fmt::format(kUnreadablePhotoFormat, path.filename().string()));
    return false;
}

void QuillpostVC::actionFlipPhotoImage(QObject*) {
    if (!composition().placement().previewPhotoIsRealPhoto()) return;
    composition().placement().actionFlipPhotoImage();
    composition().refreshPhotoBackground();
    layersChanged();
    recordStep();
}

void QuillpostVC::panDetected(Point translation) {
    if (!composition().placement().previewPhotoIsRealPhoto()) return;
    composition().placement().panDetected(translation);
    layersChanged();
}

void QuillpostVC::pinchDetected(double scale) {
    if (!composition().placement().previewPhotoIsRealPhoto()) return;
    composition().placement().pinchDetected(scale);
    layersChanged();
}

void QuillpostVC::rotationDetected(double radians) {
    if (!composition().placement().previewPhotoIsRealPhoto()) return;
    composition().placement().rotationDetected(radians);
    layersChanged();
}

void QuillpostVC::doubleTapDetected(Point locationInPreview) {
    if (!composition().themeIsPhotoEnabled()) return;
    if (composition().previewSquare().backgroundLayer().frame().contains(locationInPreview)) {
        loadPhoto(nullptr);
    }
}

void QuillpostVC::touchesBegan() {
    if (!composition().placement().previewPhotoIsRealPhoto()) return;
    composition().placement().touchesBegan();
    // The pivot moves without moving the photo: no step of its own.
    if (m_history) m_history->amend(snapshot());
}

void QuillpostVC::gestureEnded() {
    recordStep();
}

void QuillpostVC::installGestures() {
    // Pan, pinch and rotation may run together; the first to end records
    // the gesture and the others find nothing more to record.
    const auto endOf = [this](const GestureRecognizer& r) {
        if (r.state() == GestureRecognizerState::Ended ||
            r.state() == GestureRecognizerState::Cancelled)
            gestureEnded();
    };
    auto* pan = new PanGestureRecognizer([this, endOf](PanGestureRecognizer& r) {
        panDetected(m_preview->toSquarePoints(r.translationInView(view())));
        r.setTranslationInView({0, 0}, view());
        endOf(r);
    });
    auto* pinch = new PinchGestureRecognizer([this, endOf](PinchGestureRecognizer& r) {
        pinchDetected(r.scale());
        r.setScale(1);
        endOf(r);
    });
    auto* rotation = new RotationGestureRecognizer([this, endOf](RotationGestureRecognizer& r) {
        rotationDetected(r.rotation());
        r.setRotation(0);
        endOf(r);
    });
    for (GestureRecognizer* recognizer :
         std::initializer_list<GestureRecognizer*>{pan, pinch, rotation}) {
        recognizer->setDelegate(this);
        recognizer->attachToView(m_preview);
    }
    auto* doubleTap = new TapGestureRecognizer([this](TapGestureRecognizer& r) {
        if (r.state() == GestureRecognizerState::Ended) {
            doubleTapDetected(m_preview->toSquarePoints(r.locationOfTouchInView(0, m_preview)));
        }
    });
    doubleTap->setNumberOfTapsRequired(2);
    doubleTap->attachToView(m_preview);
    TouchesBeganHook::install(m_preview, [this](Point) { touchesBegan(); });
}

// --- message ------------------------------------------------------------------

void QuillpostVC::setPlaceHolderText() {
    m_textView->setText(QString::fromUtf8(kPlaceholderText));
    m_textView->setTextColor(QColor(Qt::lightGray));
    m_textIsPlaceholder = true;
}

void QuillpostVC::removePlaceHolderText() {
    m_textView->setText(QString());
    m_textView->setTextColor(QColor(Qt::white));
    m_textIsPlaceholder = false;
}

bool QuillpostVC::textViewShouldBeginEditing(TextView&) {
    if (m_textIsPlaceholder) removePlaceHolderText();
    return true;
}

void QuillpostVC::textViewDidChange(TextView& textView) {
    const QString text = textView.text();
    if (text.size() > kMessageLimit) {
        textView.setText(QString::fromStdString(limitMessage(text.toStdString(), kMessageLimit)));
    }
    updateCounter();
    if (!m_textIsPlaceholder) {
        composition().setMessage(textView.text().toStdString());
        refreshTextLayer();
        if (m_history && !m_restoring) {
            m_history->recordTyping(snapshot());
            updateUndoButtons();
        }
    }
}

void QuillpostVC::textViewDidEndEditing(TextView&) {
    updateCounter();
    if (m_history) m_history->closeTyping();
}

void QuillpostVC::actionClearText(QObject*) {
    m_textView->setText(QString());
    composition().setMessage({});
    updateCounter();
    refreshTextLayer();
    recordStep();
}

void QuillpostVC::updateCounter() {
    const int length = m_textIsPlaceholder ? 0 : static_cast<int>(m_textView->text().size());
    m_counter->setText(QString::fromStdString(fmt::format(kCounterFormat, length)));
}

void QuillpostVC::setupFontSizeSliderFromThemeData() {
    const auto& settings = m_catalogue->appliedSettings();
    const TextStyle style = settings ? settings->textStyle : TextStyle{};
    m_slider->setMinimumValue(style.fontMinSize);
    m_slider->setMaximumValue(style.fontMaxSize);
    m_slider->setContinuous(true);
    composition().setCurrentFontSize(style.fontDefaultSize);
    m_slider->setValue(style.fontDefaultSize);
    m_fontSizeChosen = false;
}

void QuillpostVC::keepChosenFontSize(double size, const TextStyle& style) {
    const double low = std::min(style.fontMinSize, style.fontMaxSize);
    const double high = std::max(style.fontMinSize, style.fontMaxSize);
    const double kept = std::clamp(size, low, high);
    composition().setCurrentFontSize(kept);
    m_slider->setValue(float(kept));
    m_fontSizeChosen = true;
}

void QuillpostVC::handleFontSizeSlider(float value) {
    const double size = SliderRefreshTimer::roundedSize(value);
    if (size == composition().currentFontSize()) return;
    composition().setCurrentFontSize(size);
    m_fontSizeChosen = true;
    m_sliderTimer->sizeChanged();
}

void QuillpostVC::touchUpSlider() {
    m_sliderTimer->touchUpSlider();
    recordStep();
}

void QuillpostVC::refreshTextLayer() {
    composition().refreshTextLayer();
    ++m_textLayerRefreshes;
    layersChanged();
}

// --- share and navigation -----------------------------------------------------

std::string QuillpostVC::shareLayoutName(DeviceType type, const DeviceProfile& device) {
    return qp::layoutName(kShareScreen, type, device);
}

void QuillpostVC::actionShareButton(QObject*) {
    if (m_context.analytics) {
        m_context.analytics->logEventWithParameters(kThemeUsedEvent,
                                                    {{kThemeNameParameter, m_themeImageName}});
    }
    const DeviceType type = m_context.state ? m_context.state->deviceType() : 0;
    auto result = composition().makeResultImage(true);
    if (!result) {
        logLine("The result image could not be rendered");
        return;
    }
    // A failed hand-off file is logged only: the sheet's other ways out work
    // from the image itself.
    if (m_context.paths) {
        auto written = writeHandOffFile(*result, m_context.paths->documents());
        if (!written.ok())
            logf("The hand-off file was not written: {}", written.error().description());
    }
    m_lastShareImage = std::move(result);
    if (!m_context.makeShareSheet) {
        logLine("No share sheet is available");
        return;
    }
    std::shared_ptr<ViewController> sheet =
        m_context.makeShareSheet(shareLayoutName(type, m_device), *m_lastShareImage);
    if (!sheet) return;
    sheet->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    presentViewController(std::move(sheet), true);
}

void QuillpostVC::actionBackButton(QObject*) {
    // Going back while the picker's popover is up closes the picker first,
    // so no popover is left over a screen that is gone.
    if (m_popoverController) {
        imagePickerControllerDidCancel(*m_picker);
        return;
    }
    dismissViewControllerAnimated(true);
}

void QuillpostVC::actionBackFromSelectThemeButton(QObject* sender) {
    actionBackButton(sender);
}

void QuillpostVC::actionShowTextPage(QObject*) {
    showPanelPage(true);
}

void QuillpostVC::actionShowThemesPage(QObject*) {
    showPanelPage(false);
}

void QuillpostVC::showPanelPage(bool textPage) {
    QWidget* page = textPage ? m_enterTextView : m_selectThemeView;
    m_panelPages->move(-page->x(), m_panelPages->y());
    // The buttons that bring up the pages show which one is up.
    for (const auto& [name, shown] :
         {std::pair{kTextPageButtonName, textPage}, std::pair{kThemesPageButtonName, !textPage}}) {
        if (auto* button = view()->findChild<QAbstractButton*>(name)) {
            button->setCheckable(true);
            button->setChecked(shown);
        }
    }
}

}  // namespace qp

namespace qp {

// --- undo and redo ------------------------------------------------------------

EditorSnapshot QuillpostVC::snapshot() {
    return {composition().placement().state(), m_catalogue->currentCategoryIdx(),
            m_catalogue->themeIdx(), composition().message(), composition().currentFontSize()};
}

void QuillpostVC::recordStep() {
    if (!m_history || m_restoring) return;
    m_history->record(snapshot());
    updateUndoButtons();
}

void QuillpostVC::actionUndoButton(QObject*) {
    if (!m_history) return;
    if (auto state = m_history->undo()) restore(*state);
    updateUndoButtons();
}

void QuillpostVC::actionRedoButton(QObject*) {
    if (!m_history) return;
    if (auto state = m_history->redo()) restore(*state);
    updateUndoButtons();
}

void QuillpostVC::restore(const EditorSnapshot& state) {
    m_restoring = true;
    if (state.themeCategoryTag != m_catalogue->currentCategoryIdx() ||
        state.themeTag != m_catalogue->themeIdx()) {
        restoreTheme(state.themeCategoryTag, state.themeTag);
    }
    if (state.fontSize != composition().currentFontSize()) {
        const auto& settings = m_catalogue->appliedSettings();
        composition().setCurrentFontSize(state.fontSize);
        m_slider->setValue(float(state.fontSize));
        m_fontSizeChosen = !settings || state.fontSize != settings->textStyle.fontDefaultSize;
    }
    if (composition().placement().restore(state.placement)) composition().refreshPhotoBackground();
    restoreMessage(state);
    refreshTextLayer();
    m_restoring = false;
}

void QuillpostVC::restoreTheme(int categoryTag, int themeTag) {
    // As the user chose it: the category's strip shows, then its theme.
    selectCategory(categoryTag);
    doTheWorkForThemeBtnSelect(themeTag);
}

void QuillpostVC::restoreMessage(const EditorSnapshot& state) {
    if (state.message == composition().message()) return;
    // An empty box under its placeholder stays as it is; any other message
    // is the user's text, in the user's colour.
    m_textView->setText(QString::fromStdString(state.message));
    m_textView->setTextColor(QColor(Qt::white));
    m_textIsPlaceholder = false;
    composition().setMessage(state.message);
    updateCounter();
}

void QuillpostVC::updateUndoButtons() {
    if (m_undoButton) m_undoButton->setEnabled(canUndo());
    if (m_redoButton) m_redoButton->setEnabled(canRedo());
}

}  // namespace qp
