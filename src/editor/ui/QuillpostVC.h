#pragma once
// The editor screen: the photo inside the theme's square, the theme strips,
// the message box and the share button.

#include <QPointer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "appkit/AppContext.h"
#include "appkit/UIDeviceHardware.h"
#include "editor/EditHistory.h"
#include "editor/ThemeCatalogue.h"
#include "editor/ThemeFeed.h"
#include "editor/ThemeKeys.h"
#include "editor/composition/Composition.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/ui/EditorSnapshot.h"
#include "editor/ui/PhotoPickerVC.h"
#include "platform/DeviceProfile.h"
#include "platform/NotificationCenter.h"
#include "platform/Result.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/PopoverController.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"
#include "platform/ui/ViewController.h"

class QLabel;

namespace qp {

class Button;
class PanGestureRecognizer;
class PinchGestureRecognizer;
class PreviewSquareView;
class RotationGestureRecognizer;
class SliderRefreshTimer;
class Slider;
class TapGestureRecognizer;

inline constexpr const char* kPlaceholderText = "Type message here";
inline constexpr const char* kCounterFormat = "{} / 120";
inline constexpr double kSliderRotation = 4.712389;
inline constexpr const char* kNewCOTDImagesLoaded = "new COTD images loaded";
inline constexpr const char* kThemeUsedEvent = "Theme Used";
inline constexpr const char* kThemeNameParameter = "Theme Name";
inline constexpr const char* kViewDidUnloadEvent = "zzz_viewDidUnload(!)";
inline constexpr const char* kPhotoLibraryErrorTitle = "Error accessing photo library";
inline constexpr const char* kPhotoLibraryErrorMessage = "Device does not support a photo library";
inline constexpr const char* kUnreadablePhotoTitle = "Not a photo";
inline constexpr const char* kUnreadablePhotoFormat =
    "\"{}\" could not be opened as a photo. Choose a JPEG, PNG, GIF, BMP or HEIC picture.";
// The row inside the category strip that holds the category buttons and
// their indicators; its own tag lies outside the range the clearing pass
// removes, so the buttons survive it.
inline constexpr const char* kCategoryRowName = "categoryRow";

class QuillpostVC : public ViewController,
                    public TextViewDelegate,
                    public GestureRecognizerDelegate,
                    public ScrollViewDelegate,
                    public PhotoPickerDelegate,
                    public PopoverControllerDelegate {
public:
    // Chooses a photo in `folder`; nullopt when the user cancels.
    using PhotoChooser = std::function<std::optional<std::filesystem::path>(
        QWidget* parent, const std::filesystem::path& folder)>;

    QuillpostVC(std::string layoutName, const AppContext& context);
    ~QuillpostVC() override;

    // Before the view loads: the feed the theme-of-the-day category asks
    // (default: the context's, else the bundled stand-in) and how photos are
    // chosen (default: the photo picker screen).
    void setThemeFeed(ThemeFeed* feed) { m_externalFeed = feed; }
    void setPhotoChooser(PhotoChooser chooser) { m_photoChooser = std::move(chooser); }

    // --- lifecycle ----------------------------------------------------------
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void viewDidUnload();
    void didReceiveMemoryWarning() override;
    bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const override;

    // --- themes -------------------------------------------------------------
    void fetchThemeData();
    void actionThemeBtnSelect(QObject* sender);
    void doTheWorkForThemeBtnSelect(int tag);
    void actionCategoryBtnSelect(QObject* sender);
    void setupSelectThemeScrollView(bool scrollToStart);
    void setupSelectCategoryScrollView();
    void handleNewCOTDimagesLoaded();

    // --- photo --------------------------------------------------------------
    void loadPhoto(QObject* sender);
    // The folder the picker browses, and whether it can be listed; when it
    // cannot, the photo button shows the no-photo-library alert instead.
    const std::filesystem::path& photoLibrary() const { return m_photoLibrary; }
    bool photoLibraryIsReadable() const;
    // Places the photo at `path`; an error saying why (nothing changed) when
    // it cannot be read or placed.
    Result<void> placePhotoFile(const std::filesystem::path& path);
    // Places the photo as if picked; one that cannot be read gets an alert
    // naming it. What the picker, the chooser and a dropped file go through.
    bool placePhotoOrAlert(const std::filesystem::path& path);
    void actionFlipPhotoImage(QObject* sender);
    void imagePickerControllerDidFinishPicking(PhotoPickerVC& picker,
                                               const std::filesystem::path& photo) override;
    void imagePickerControllerDidCancel(PhotoPickerVC& picker) override;
    bool popoverControllerShouldDismissPopover(PopoverController&) override { return true; }
    void popoverControllerDidDismissPopover(PopoverController& popover) override;
    PopoverController* popoverController() const { return m_popoverController.get(); }
    PhotoPickerVC* photoPicker() const { return m_picker.get(); }
    void panDetected(Point translation);
    void pinchDetected(double scale);
    void rotationDetected(double radians);
    void doubleTapDetected(Point locationInPreview);
    void touchesBegan();
    // A pan, pinch or rotation gesture is over: the whole gesture becomes one
    // step to undo.
    void gestureEnded();
    bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
        GestureRecognizer&, GestureRecognizer&) override {
        return true;
    }

    // --- message ------------------------------------------------------------
    void setPlaceHolderText();
    void removePlaceHolderText();
    void actionClearText(QObject* sender);
    bool textViewShouldBeginEditing(TextView& textView) override;
    void textViewDidChange(TextView& textView) override;
    void textViewDidEndEditing(TextView& textView) override;
    void setupFontSizeSliderFromThemeData();
    void handleFontSizeSlider(float value);
    void touchUpSlider();
    void refreshTextLayer();
    int textLayerRefreshCount() const { return m_textLayerRefreshes; }
    bool textIsPlaceholdertext() const { return m_textIsPlaceholder; }
    double currentFontSize() const;

    // --- undo and redo ------------------------------------------------------
    void actionUndoButton(QObject* sender);
    void actionRedoButton(QObject* sender);
    bool canUndo() const { return m_history && m_history->canUndo(); }
    bool canRedo() const { return m_history && m_history->canRedo(); }
    // The editor's state as undo would put it back.
    EditorSnapshot snapshot();

    // --- share and navigation -----------------------------------------------
    void actionShareButton(QObject* sender);
    void actionBackButton(QObject* sender);
    // The same as the back button, for a back button on the themes panel.
    void actionBackFromSelectThemeButton(QObject* sender);
    void actionShowTextPage(QObject* sender);
    void actionShowThemesPage(QObject* sender);
    // The share sheet's layout for the device class; an unknown class gets
    // the nearest variant for the screen, as the other screens do.
    static std::string shareLayoutName(DeviceType type, const DeviceProfile& device);

    // --- for the screen's tests ----------------------------------------------
    ThemeCatalogue& catalogue() { return *m_catalogue; }
    Composition& composition();
    PreviewSquareView* previewSquareView() const { return m_preview; }
    ScrollView* themeStrip() const { return m_themeStrip; }
    ScrollView* categoryStrip() const { return m_categoryStrip; }
    QWidget* highlightView() const { return m_highlight; }
    const std::filesystem::path& photoLibraryFolder() const { return m_photoLibrary; }
    const std::string& theThemeImageName() const { return m_themeImageName; }
    // The image the last share rendered (what the share sheet shows).
    const std::optional<Image>& theShareImage() const { return m_lastShareImage; }

protected:
    std::vector<std::string> requiredOutlets() const override;
    std::map<std::string, Action> actions() override;

private:
    void applySettings(const ThemeSettings& settings);
    void showThemeBackground();
    void buildCategoryRow();
    void setIndicatorImage(int tag, const char* imageName);
    void setPhotoButtonsVisible(bool visible);
    void moveHighlightTo(int themeTag);
    void updateCounter();
    // Puts back a size the user chose, held to `style`'s range.
    void keepChosenFontSize(double size, const TextStyle& style);
    void installGestures();
    void showPanelPage(bool textPage);
    QPixmap namedImage(const std::string& name) const;
    void layersChanged();
    void dismissPicker();
    MainQueue* mainQueue() const;
    // A step ended with the editor in its current state.
    void recordStep();
    void restore(const EditorSnapshot& state);
    void restoreTheme(int categoryTag, int themeTag);
    void restoreMessage(const EditorSnapshot& state);
    void updateUndoButtons();
    void selectCategory(int tag);

    AppContext m_context;
    DeviceProfile m_device;
    std::filesystem::path m_resources;
    std::filesystem::path m_photoLibrary;
    ThemeFeed* m_externalFeed = nullptr;
    std::unique_ptr<FallbackThemeFeed> m_fallbackFeed;
    std::unique_ptr<ThemeCatalogue> m_catalogue;
    PhotoChooser m_photoChooser;
    std::unique_ptr<SliderRefreshTimer> m_sliderTimer;
    std::shared_ptr<PhotoPickerVC> m_picker;
    std::shared_ptr<PopoverController> m_popoverController;

    PreviewSquareView* m_preview = nullptr;
    ScrollView* m_categoryStrip = nullptr;
    ScrollView* m_themeStrip = nullptr;
    QWidget* m_highlight = nullptr;
    QWidget* m_categoryRow = nullptr;
    QWidget* m_enterTextView = nullptr;
    QWidget* m_selectThemeView = nullptr;
    QWidget* m_panelPages = nullptr;
    TextView* m_textView = nullptr;
    QLabel* m_counter = nullptr;
    Slider* m_slider = nullptr;
    QWidget* m_flipButton = nullptr;
    QWidget* m_loadPhotoButton = nullptr;
    std::vector<QPointer<Button>> m_themeButtons;

    std::string m_themeImageName;
    std::optional<Image> m_lastShareImage;
    bool m_textIsPlaceholder = false;
    // The slider moved since the theme set the size.
    bool m_fontSizeChosen = false;
    int m_textLayerRefreshes = 0;
    std::vector<NotificationCenter::ObserverId> m_observers;
    std::optional<EditHistory<EditorSnapshot>> m_history;
    // Undo or redo is putting a state back: what it changes is no new step.
    bool m_restoring = false;
    QWidget* m_undoButton = nullptr;
    QWidget* m_redoButton = nullptr;
};

}  // namespace qp
