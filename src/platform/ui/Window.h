#pragma once
// The one window: it shows the emulated phone or tablet screen at its size in
// points, with the root controller's view filling it. Its keyboard
// shortcuts reach the screen on top; its title names the device profile.

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/DeviceProfile.h"
#include "platform/ui/WindowShortcuts.h"
#include "platform/ui/WindowZoom.h"

class QAction;

namespace qp {

class ViewController;

inline constexpr const char* kShortcutListName = "shortcutList";

// "Quillpost — iphone-4in, 320 × 568 points at scale 2, shown at 2×".
std::string windowTitleFor(const DeviceProfile& profile, double zoomFactor);

class Window : public QWidget {
public:
    explicit Window(const DeviceProfile& profile);
    ~Window() override;

    void setRootViewController(std::shared_ptr<ViewController> controller);
    ViewController* rootViewController() const { return m_root.get(); }
    const DeviceProfile& deviceProfile() const { return m_profile; }
    // The screen the user sees: the root, or what it presents, in turn.
    ViewController* topViewController() const;

    // Shows the window and brings the root controller on screen.
    void makeKeyAndVisible();
    bool isKeyWindow() const { return m_visible; }

    // --- shortcuts ------------------------------------------------------------
    void setShortcuts(std::vector<WindowShortcut> shortcuts);
    const std::vector<WindowShortcut>& shortcuts() const { return m_shortcuts; }
    // Does what the shortcut's key does; false when it does nothing now.
    bool runShortcut(const WindowShortcut& shortcut);
    // The list of shortcuts, in a small window of its own.
    void showShortcutList();
    QWidget* shortcutList() const { return m_shortcutList; }

    // --- zoom -----------------------------------------------------------------
    // Shows the window's points at `factor` pixels each, at once, and names
    // the zoom in the title.
    void showZoom(WindowZoom zoom, double factor);
    WindowZoom zoom() const { return m_zoom; }
    double zoomFactor() const { return m_zoomFactor; }
    // The user chose a zoom: the observer keeps it and answers the factor
    // it gives, which the window then shows.
    void chooseZoom(WindowZoom zoom);
    void setZoomObserver(std::function<double(WindowZoom)> observer) {
        m_zoomObserver = std::move(observer);
    }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void runCommand(WindowCommand command);
    void updateTitle();

    DeviceProfile m_profile;
    std::shared_ptr<ViewController> m_root;
    bool m_visible = false;
    std::vector<WindowShortcut> m_shortcuts;
    std::vector<QAction*> m_shortcutActions;
    QPointer<QWidget> m_shortcutList;
    WindowZoom m_zoom = WindowZoom::Actual;
    double m_zoomFactor = 1;
    std::function<double(WindowZoom)> m_zoomObserver;
};

}  // namespace qp
