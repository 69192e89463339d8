#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <map>
#include <memory>
#include <string>

#include "platform/ui/AlertView.h"
#include "platform/ui/ModalLayer.h"
#include "platform/ui/TextView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowShortcuts.h"
#include "platform/ui/WindowZoom.h"
#include "support/HeadlessAlerts.h"

using namespace qp;

namespace {

// A screen without a layout file: a photo button naming its action, a
// message box, and a count of the actions run.
class CountingScreen : public ViewController {
public:
    explicit CountingScreen(std::string back) : ViewController(""), m_back(std::move(back)) {}
    std::map<std::string, int> runs;
    QPushButton* photoButton = nullptr;
    TextView* text = nullptr;

protected:
    QWidget* makeView() override {
        auto* view = new QWidget;
        photoButton = new QPushButton("Photo", view);
        photoButton->setProperty("action", "loadPhoto");
        text = new TextView(view);
        text->setGeometry(0, 40, 200, 60);
        return view;
    }
    std::map<std::string, Action> actions() override {
        std::map<std::string, Action> table;
        for (const std::string& name : {std::string("loadPhoto"), std::string("actionUndoButton"),
                                        std::string("actionRedoButton"), m_back}) {
            table[name] = [this, name](QObject*) { ++runs[name]; };
        }
        return table;
    }

private:
    std::string m_back;
};

const std::vector<WindowShortcut> kShortcuts = {
    {{"Ctrl+O"}, "Choose a photo", {"loadPhoto"}},
    {{"Ctrl+Z"}, "Undo", {"actionUndoButton"}},
    {{"Ctrl+Shift+Z", "Ctrl+Y"}, "Redo", {"actionRedoButton"}},
    {{"Esc"},
     "Go back",
     {"cancel", "actionBackFromShareButton", "actionBackButton"},
     WindowCommand::None,
     true},
    {{"Ctrl+1"}, "Zoom 1×", {}, WindowCommand::ZoomActual},
    {{"Ctrl+2"}, "Zoom 2×", {}, WindowCommand::ZoomDouble},
    {{"Ctrl+0"}, "Zoom to fit", {}, WindowCommand::ZoomFit},
    {{"F1"}, "Keyboard shortcuts", {}, WindowCommand::ShowShortcutList},
};

DeviceProfile phone() {
    DeviceProfile profile;
    profile.name = "iphone-4in";
    profile.screenSize = {320, 568};
    profile.scale = 2;
    return profile;
}

struct ShownWindow {
    ShownWindow() : window(phone()) {
        window.setRootViewController(root);
        window.setShortcuts(kShortcuts);
        window.makeKeyAndVisible();
        QApplication::setActiveWindow(&window);
    }
    ~ShownWindow() { window.setRootViewController(nullptr); }
    qp::test::HeadlessAlerts alerts;
    std::shared_ptr<CountingScreen> root = std::make_shared<CountingScreen>("actionBackButton");
    Window window;
};

}  // namespace

// Keys reach the screen on top, as its buttons would.
TEST(WindowShortcuts, KeysRunTheTopScreensActions) {
    ShownWindow w;
    QTest::keyClick(&w.window, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(&w.window, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&w.window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&w.window, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(&w.window, Qt::Key_Escape);
    EXPECT_EQ(w.root->runs["loadPhoto"], 1);
    EXPECT_EQ(w.root->runs["actionUndoButton"], 1);
    EXPECT_EQ(w.root->runs["actionRedoButton"], 2);
    EXPECT_EQ(w.root->runs["actionBackButton"], 1);

    // A hidden button's action does not run from the keyboard either.
    w.root->photoButton->hide();
    QTest::keyClick(&w.window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(w.root->runs["loadPhoto"], 1);
    w.root->photoButton->show();
    w.root->photoButton->setEnabled(false);
    QTest::keyClick(&w.window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(w.root->runs["loadPhoto"], 1);
}

// Escape goes back from the presented screen, not from the one under it.
TEST(WindowShortcuts, EscapeGoesBackFromThePresentedScreen) {
    ShownWindow w;
    auto sheet = std::make_shared<CountingScreen>("actionBackFromShareButton");
    w.root->presentViewController(sheet, false);
    ASSERT_EQ(w.window.topViewController(), sheet.get());
    QTest::keyClick(&w.window, Qt::Key_Escape);
    EXPECT_EQ(sheet->runs["actionBackFromShareButton"], 1);
    EXPECT_EQ(w.root->runs["actionBackButton"], 0);
    w.root->dismissViewControllerAnimated(false);
}

// A layer over the screens takes the keys: Escape runs its cancel action
// where it has one, and no key reaches the screen underneath. A layer that
// is not up, or is hidden, lets the keys through again.
TEST(WindowShortcuts, KeysStopAtALayerOverTheScreens) {
    struct Case {
        const char* what;
        bool cancellable;
        bool up;
        bool hidden;
        int cancels;
        int backs;
    };
    const Case cases[] = {
        {"a dialog closes on Escape", true, true, false, 1, 0},
        {"an overlay with nothing to cancel ignores Escape", false, true, false, 0, 0},
        {"a layer that is not up lets the key through", true, false, false, 0, 1},
        {"a hidden layer lets the key through", true, true, true, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShownWindow w;
        // Nested below the root's view, as the progress overlay may be.
        auto* cover = new QWidget(w.root->view());
        cover->setGeometry(w.window.rect());
        int cancels = 0;
        ModalLayerBehaviour behaviour;
        behaviour.isUp = [&c] { return c.up; };
        if (c.cancellable) behaviour.cancel = [&cancels] { ++cancels; };
        markModalLayer(cover, behaviour);
        cover->setVisible(!c.hidden);
        QTest::keyClick(&w.window, Qt::Key_Escape);
        QTest::keyClick(&w.window, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(cancels, c.cancels);
        EXPECT_EQ(w.root->runs["actionBackButton"], c.backs);
        EXPECT_EQ(w.root->runs["loadPhoto"], c.backs);
        delete cover;
    }
}

// Of two layers, the one painted last is on top and closes first.
TEST(WindowShortcuts, EscapeClosesTheTopLayerOnly) {
    ShownWindow w;
    std::vector<std::string> closed;
    for (const char* name : {"under", "over"}) {
        auto* cover = new QWidget(&w.window);
        markModalLayer(cover, {{}, [&closed, cover, name] {
                                   closed.push_back(name);
                                   cover->hide();
                               }});
        cover->show();
    }
    QTest::keyClick(&w.window, Qt::Key_Escape);
    EXPECT_EQ(closed, (std::vector<std::string>{"over"}));
    QTest::keyClick(&w.window, Qt::Key_Escape);
    EXPECT_EQ(closed, (std::vector<std::string>{"over", "under"}));
    QTest::keyClick(&w.window, Qt::Key_Escape);
    EXPECT_EQ(w.root->runs["actionBackButton"], 1);
}

// Undo and redo are the editor's, even while the message box has the focus.
TEST(WindowShortcuts, UndoKeysReachTheScreenFromTheMessageBox) {
    ShownWindow w;
    ASSERT_TRUE(w.root->text->becomeFirstResponder());
    QTest::keyClicks(w.root->text, "abc");
    QTest::keyClick(w.root->text, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(w.root->text, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.root->runs["actionUndoButton"], 1);
    EXPECT_EQ(w.root->runs["actionRedoButton"], 1);
    EXPECT_EQ(w.root->text->text(), "abc");
}

// F1 lists every shortcut with its key.
TEST(WindowShortcuts, TheShortcutListNamesEveryKey) {
    ShownWindow w;
    QTest::keyClick(&w.window, Qt::Key_F1);
    QWidget* list = w.window.shortcutList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->objectName(), kShortcutListName);
    QStringList texts;
    for (const QLabel* label : list->findChildren<QLabel*>()) texts << label->text();
    for (const WindowShortcut& shortcut : kShortcuts) {
        EXPECT_TRUE(texts.contains(QString::fromStdString(shortcut.description)))
            << shortcut.description;
        EXPECT_TRUE(texts.contains(QString::fromStdString(shortcutKeysText(shortcut))))
            << shortcut.description;
    }
    // Asked again, the same list comes forward.
    w.window.showShortcutList();
    EXPECT_EQ(w.window.shortcutList(), list);
}

TEST(WindowShortcuts, TheFirstActionTheScreenHasRuns) {
    const WindowShortcut back{{"Esc"}, "Go back", {"cancel", "actionBackButton"}};
    const auto has = [](std::initializer_list<std::string> names) {
        return [names](const std::string& name) {
            return std::find(names.begin(), names.end(), name) != names.end();
        };
    };
    EXPECT_EQ(actionToRun(back, has({"actionBackButton", "cancel"})), "cancel");
    EXPECT_EQ(actionToRun(back, has({"actionBackButton"})), "actionBackButton");
    EXPECT_EQ(actionToRun(back, has({"loadPhoto"})), std::nullopt);
}

// A zoom chosen from the keyboard goes to the observer (which keeps it and
// answers its factor) and shows at once: the window keeps its points and
// its native window takes that many pixels each. The title names the
// profile and the zoom shown.
TEST(WindowZoom, AChosenZoomShowsAtOnce) {
    ShownWindow w;
    w.window.showZoom(WindowZoom::Actual, 1);
    EXPECT_EQ(w.window.windowTitle().toStdString(),
              "Quillpost — iphone-4in, 320 × 568 points at scale 2, shown at 1×");
    QWindow* native = w.window.windowHandle();
    ASSERT_NE(native, nullptr);
    const qreal baseRatio = native->devicePixelRatio();
    std::vector<WindowZoom> chosen;
    w.window.setZoomObserver([&](WindowZoom zoom) {
        chosen.push_back(zoom);
        return zoom == WindowZoom::Double ? 2.0 : 1.5;
    });
    const struct {
        int key;
        WindowZoom zoom;
        double factor;
        const char* title;
    } steps[] = {
        {Qt::Key_2, WindowZoom::Double, 2, "shown at 2×"},
        {Qt::Key_0, WindowZoom::FitScreen, 1.5, "shown at 1.5×"},
        {Qt::Key_1, WindowZoom::Actual, 1.5, "shown at 1.5×"},
    };
    std::vector<WindowZoom> expected;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.title);
        QTest::keyClick(&w.window, step.key, Qt::ControlModifier);
        expected.push_back(step.zoom);
        EXPECT_EQ(chosen, expected);
        EXPECT_EQ(w.window.zoom(), step.zoom);
        EXPECT_EQ(w.window.size(), QSize(320, 568));
        EXPECT_DOUBLE_EQ(native->devicePixelRatio(), baseRatio * step.factor);
        const QPixmap shot = w.window.grab();
        EXPECT_EQ(shot.size(), (QSize(320, 568) * baseRatio * step.factor))
            << "the window is drawn at its new pixels";
        EXPECT_TRUE(w.window.windowTitle().endsWith(step.title));
    }
    // Chosen again: nothing to do.
    QTest::keyClick(&w.window, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(chosen.size(), expected.size());
    w.window.showZoom(WindowZoom::Actual, 1);
    EXPECT_DOUBLE_EQ(native->devicePixelRatio(), baseRatio);
}

TEST(WindowZoom, NamesRoundTripAndUnknownOnesAreRefused) {
    for (WindowZoom zoom : {WindowZoom::Actual, WindowZoom::Double, WindowZoom::FitScreen})
        EXPECT_EQ(zoomNamed(zoomName(zoom)), zoom);
    EXPECT_EQ(zoomNamed("3x"), std::nullopt);
    EXPECT_EQ(zoomNamed(""), std::nullopt);
}

TEST(WindowZoom, FactorForEachChoice) {
    const Size phone{320, 480};
    const Size pad{768, 1024};
    const struct {
        WindowZoom zoom;
        Size screen;
        std::optional<Size> desktop;
        double factor;
    } cases[] = {
        {WindowZoom::Actual, phone, Size{3840, 2160}, 1},
        {WindowZoom::Double, pad, Size{800, 600}, 2},           // asked for, even if larger
        {WindowZoom::FitScreen, phone, Size{1920, 1080}, 2.1},  // (1080 − 64) / 480
        {WindowZoom::FitScreen, pad, Size{1920, 1080}, 0.9},    // 1016 / 1024
        {WindowZoom::FitScreen, pad, Size{1366, 768}, 0.6},
        {WindowZoom::FitScreen, phone, Size{1024, 1000}, 1.9},       // 936 / 480
        {WindowZoom::FitScreen, Size{100, 100}, Size{300, 264}, 2},  // exactly 2, not 1.9
        {WindowZoom::FitScreen, pad, Size{400, 300}, 0.5},           // never below half
        {WindowZoom::FitScreen, phone, std::nullopt, 1},             // no screen seen yet
        {WindowZoom::FitScreen, phone, Size{0, 0}, 1},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(zoomFactor(c.zoom, c.screen, c.desktop), c.factor, 1e-9)
            << zoomName(c.zoom) << " " << toString(c.screen);
    }
}
