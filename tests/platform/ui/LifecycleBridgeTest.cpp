#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QWidget>

#include <functional>
#include <memory>

#include "platform/ApplicationLifecycle.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/LifecycleBridge.h"
#include "support/RecordingApplicationDelegate.h"

using namespace qp;

namespace {

using Calls = std::vector<std::string>;

// Lets queued work and zero timers of this turn run.
void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void activate(QWidget& window) {
    window.activateWindow();
    settle();
}

// A launched app whose main window has the focus, watched by the bridge.
class LifecycleBridgeTest : public ::testing::Test {
protected:
    LifecycleBridgeTest() {
        m_window.resize(320, 480);
        m_window.show();
        activate(m_window);
        m_lifecycle.launch();
        m_bridge = std::make_unique<LifecycleBridge>(m_lifecycle, &m_window);
        m_delegate.calls.clear();
    }
    ~LifecycleBridgeTest() override {
        // Signals a test sends on the application's behalf must not outlive it.
        Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive);
        settle();
    }

    QWidget m_window;
    RecordingApplicationDelegate m_delegate;
    ApplicationLifecycle m_lifecycle{m_delegate, nullptr};
    std::unique_ptr<LifecycleBridge> m_bridge;
};

// Opens another window of ours and answers it (null when none appeared).
struct OwnWindow {
    const char* name;
    std::function<QWidget*()> open;
};

QWidget* openAlert() {
    auto alert = AlertView::create("Quillpost", "Instagram is not installed.", nullptr, "OK");
    alert->show();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox*>(w) && w->isVisible()) return w;
    }
    return nullptr;
}

QWidget* openSecondWindow() {
    auto* window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(200, 100);
    window->show();
    return window;
}

QWidget* openDialog() {
    auto* dialog = new QDialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

}  // namespace

TEST_F(LifecycleBridgeTest, FocusMovingToAnotherOfOurWindowsIsNotResigning) {
    const OwnWindow cases[] = {
        {"alert", openAlert},
        {"second top-level window", openSecondWindow},
        {"dialog", openDialog},
    };
    for (const OwnWindow& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* other = c.open();
        ASSERT_NE(other, nullptr);
        activate(*other);
        // The case is real only when the main window has lost the focus.
        ASSERT_FALSE(m_window.isActiveWindow());
        other->close();
        activate(m_window);
        ASSERT_TRUE(m_window.isActiveWindow());
        EXPECT_EQ(m_delegate.calls, Calls{});
        EXPECT_EQ(m_lifecycle.state(), ApplicationLifecycle::State::Active);
    }
}

TEST_F(LifecycleBridgeTest, MinimisingIsTheBackgroundAndRestoringComesBack) {
    m_window.showMinimized();
    settle();
    EXPECT_EQ(m_delegate.calls, (Calls{"resign", "background"}));
    m_window.showNormal();
    activate(m_window);
    EXPECT_EQ(m_delegate.calls, (Calls{"resign", "background", "foreground", "active"}));
    EXPECT_EQ(m_lifecycle.state(), ApplicationLifecycle::State::Active);
}

// The offscreen platform keeps the application active whatever window has
// the focus, so the application's own signal stands in for the window
// system telling it that none of our windows has the focus any more.
TEST_F(LifecycleBridgeTest, TheWholeApplicationLosingTheFocusResignsAndGettingItBackActivates) {
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    settle();
    EXPECT_EQ(m_delegate.calls, Calls{"resign"});
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    settle();
    EXPECT_EQ(m_delegate.calls, (Calls{"resign", "active"}));
}

TEST_F(LifecycleBridgeTest, FocusPassingThroughNoneOfOursOnItsWayIsNotResigning) {
    // Some window systems report "no window of ours" between two of ours.
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    settle();
    EXPECT_EQ(m_delegate.calls, Calls{});
}

TEST_F(LifecycleBridgeTest, RestoringWhileAnotherAppHasTheFocusWaitsForIt) {
    m_window.showMinimized();
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    settle();
    m_window.showNormal();
    settle();
    EXPECT_EQ(m_delegate.calls, (Calls{"resign", "background", "foreground"}));
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    settle();
    EXPECT_EQ(m_delegate.calls, (Calls{"resign", "background", "foreground", "active"}));
}
