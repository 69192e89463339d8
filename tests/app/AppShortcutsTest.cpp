#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWindow>

#include <cstdlib>

#include "app/AppDelegate.h"
#include "app/AppShortcuts.h"
#include "app/WindowZoomSetting.h"
#include "editor/ui/PreviewSquareView.h"
#include "editor/ui/QuillpostVC.h"
#include "platform/plist/PlistUserDefaults.h"
#include "platform/ui/ScreenScale.h"
#include "platform/ui/Window.h"
#include "screens/MainViewController.h"
#include "share/SharePopupVC.h"
#include "support/HeadlessAlerts.h"
#include "support/MemoryUserDefaults.h"
#include "support/TempFolder.h"
#include "support/TestAppServices.h"
#include "support/TestPhotos.h"
#include "support/WidgetInput.h"

using namespace qp;
using namespace qp::test;

namespace {

constexpr auto kPastAnyFade = std::chrono::seconds(1);

// The app launched with the editor on screen and a photo in the library.
struct LaunchedApp : TestAppServices {
    explicit LaunchedApp(const std::string& profile = "iphone") : TestAppServices(profile) {
        writeRedBluePhoto(library() / "holiday.png", 800, 600);
        app = std::make_unique<AppDelegate>(context(), "KEY");
        app->applicationDidFinishLaunchingWithOptions();
        QApplication::setActiveWindow(window());
    }
    Window* window() { return app->window(); }
    QuillpostVC& editor() { return *dynamic_cast<QuillpostVC*>(app->viewController()->editor()); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window(), key, modifiers);
        queue.advance(kPastAnyFade);
    }
    void openEditor() {
        tap(app->viewController()->outlet("startButton"));
        queue.advance(kPastAnyFade);
        // Start opens the picker at once: Escape closes it.
        key(Qt::Key_Escape);
    }

    HeadlessAlerts alerts;
    std::unique_ptr<AppDelegate> app;
};

// Every screen's scale back at 1× after a test, as a new run starts.
struct ScreenScaleReset {
    ~ScreenScaleReset() { reset(); }
    static void reset() {
        QWidget none;
        setScreenScale(none, 1);
    }
};

}  // namespace

// The main road by keyboard: Ctrl+O picks, a drag is undone by Ctrl+Z and
// redone by Ctrl+Shift+Z, Ctrl+S shares, Escape leaves the share sheet and
// then the editor.
TEST(AppShortcuts, TheEditorByKeyboard) {
    LaunchedApp a;
    a.openEditor();
    QuillpostVC& editor = a.editor();
    ASSERT_EQ(a.window()->topViewController(), &editor);
    ASSERT_FALSE(editor.composition().placement().previewPhotoIsRealPhoto());

    a.key(Qt::Key_O, Qt::ControlModifier);
    PhotoPickerVC* picker = editor.photoPicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_EQ(a.window()->topViewController(), picker);
    tap(picker->photoButton(0));
    a.queue.advance(kPastAnyFade);
    ASSERT_TRUE(editor.composition().placement().previewPhotoIsRealPhoto());

    const Layer& photo = editor.composition().previewSquare().photoLayer();
    const Point placed = photo.center();
    drag(editor.previewSquareView(), {153, 153}, {20, 10});
    const Point dragged = photo.center();
    ASSERT_NE(dragged, placed);
    a.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(photo.center(), placed);
    a.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(photo.center(), dragged);

    a.key(Qt::Key_S, Qt::ControlModifier);
    auto* sheet = dynamic_cast<SharePopupVC*>(a.window()->topViewController());
    ASSERT_NE(sheet, nullptr);
    a.key(Qt::Key_Escape);
    EXPECT_EQ(a.window()->topViewController(), &editor);
    a.key(Qt::Key_Escape);
    EXPECT_EQ(a.window()->topViewController(), a.app->viewController().get());
    // The start screen has no photo to choose.
    a.key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(a.window()->topViewController(), a.app->viewController().get());
}

// Ctrl+O does nothing under a theme without a photo slot, as its hidden
// button does nothing.
TEST(AppShortcuts, NoPhotoIsChosenWhereThePhotoButtonIsHidden) {
    LaunchedApp a;
    a.openEditor();
    QuillpostVC& editor = a.editor();
    editor.outlet("loadPhotoButton")->hide();
    a.key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(a.window()->topViewController(), &editor);
}

TEST(AppShortcuts, TheListShowsEveryShortcutAndTheTitleTheProfile) {
    LaunchedApp a("ipad");
    a.key(Qt::Key_F1);
    ASSERT_NE(a.window()->shortcutList(), nullptr);
    EXPECT_TRUE(a.window()->windowTitle().contains("ipad"));
    EXPECT_TRUE(a.window()->windowTitle().contains("768 × 1024"));
    EXPECT_GE(appShortcuts().size(), 8u);
}

TEST(WindowZoomSetting, KeepsTheChoiceAndTheScreen) {
    MemoryUserDefaults defaults;
    EXPECT_EQ(WindowZoomSetting(defaults).zoom(), WindowZoom::Actual);
    EXPECT_EQ(WindowZoomSetting(defaults).desktopScreen(), std::nullopt);
    WindowZoomSetting(defaults).setZoom(WindowZoom::FitScreen);
    WindowZoomSetting(defaults).setDesktopScreen({1920, 1080});
    const WindowZoomSetting read(defaults);
    EXPECT_EQ(read.zoom(), WindowZoom::FitScreen);
    EXPECT_EQ(read.desktopScreen(), (Size{1920, 1080}));
    EXPECT_DOUBLE_EQ(read.factor({320, 480}), 2.1);
    // A hand-edited value reads as 1×.
    defaults.setString("huge", kWindowZoomKey);
    EXPECT_EQ(WindowZoomSetting(defaults).zoom(), WindowZoom::Actual);
}

// A zoom chosen in one run shows at once (the window keeps its points, each
// now two pixels), is kept in the settings file, and is the zoom the next
// run starts with.
TEST(WindowZoomSetting, AChosenZoomShowsAtOnceAndIsTheNextRunsZoom) {
    ScreenScaleReset resetAfter;
    HeadlessAlerts alerts;
    TempFolder home;
    const std::string bundle = "net.quillpost.test";
    const DeviceProfile profile = *deviceProfileNamed("iphone");
    const auto ratio = [](const Window& window) {
        return window.windowHandle() ? window.windowHandle()->devicePixelRatio() : 0.0;
    };
    {
        PlistUserDefaults defaults(home.path(), bundle);
        Window window(profile);
        connectWindowZoom(window, defaults);
        window.show();
        EXPECT_EQ(window.zoom(), WindowZoom::Actual);
        EXPECT_DOUBLE_EQ(ratio(window), 1);
        window.chooseZoom(WindowZoom::Double);
        EXPECT_DOUBLE_EQ(ratio(window), 2);
        EXPECT_EQ(window.size(), QSize(320, 480));
        EXPECT_EQ(window.grab().size(), QSize(640, 960));
        EXPECT_TRUE(window.windowTitle().endsWith("shown at 2×"));
    }
    ScreenScaleReset::reset();
    {
        PlistUserDefaults defaults(home.path(), bundle);
        Window window(profile);
        connectWindowZoom(window, defaults);
        window.show();
        EXPECT_EQ(window.zoom(), WindowZoom::Double);
        EXPECT_DOUBLE_EQ(ratio(window), 2);
        EXPECT_TRUE(window.windowTitle().endsWith("shown at 2×"));
        window.chooseZoom(WindowZoom::Actual);
        EXPECT_DOUBLE_EQ(ratio(window), 1);
    }
    EXPECT_EQ(WindowZoomSetting(*std::make_unique<PlistUserDefaults>(home.path(), bundle)).zoom(),
              WindowZoom::Actual);
    QApplication::processEvents();
}

// A headless run's stand-in screen is not taken for the desktop's: the
// screen a windowed run saw stays what the next fit fits into.
TEST(WindowZoomSetting, AHeadlessRunKeepsTheDesktopScreenSeenBefore) {
    MemoryUserDefaults defaults;
    WindowZoomSetting(defaults).setDesktopScreen({2560, 1440});
    Window window(*deviceProfileNamed("iphone"));
    connectWindowZoom(window, defaults);
    EXPECT_EQ(WindowZoomSetting(defaults).desktopScreen(), (Size{2560, 1440}));
}
