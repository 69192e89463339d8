#include "app/WindowZoomSetting.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

#include "platform/plist/UserDefaults.h"
#include "platform/ui/Window.h"

namespace qp {

WindowZoom WindowZoomSetting::zoom() const {
    return zoomNamed(m_defaults.stringForKey(kWindowZoomKey)).value_or(WindowZoom::Actual);
}

void WindowZoomSetting::setZoom(WindowZoom zoom) {
    m_defaults.setString(zoomName(zoom), kWindowZoomKey);
}

std::optional<Size> WindowZoomSetting::desktopScreen() const {
    const Size size{m_defaults.doubleForKey(kDesktopScreenWidthKey),
                    m_defaults.doubleForKey(kDesktopScreenHeightKey)};
    if (size.isEmpty() || !std::isfinite(size.width) || !std::isfinite(size.height))
        return std::nullopt;
    return size;
}

void WindowZoomSetting::setDesktopScreen(Size size) {
    m_defaults.setDouble(size.width, kDesktopScreenWidthKey);
    m_defaults.setDouble(size.height, kDesktopScreenHeightKey);
}

void connectWindowZoom(Window& window, UserDefaults& defaults) {
    WindowZoomSetting setting(defaults);
    // The screen in points as they are at 1× (before this run's zoom shows),
    // so the next fit is right whatever the zoom. A headless run's stand-in
    // screen says nothing about the desktop.
    const bool realScreen = QGuiApplication::platformName() != QLatin1String("offscreen");
    if (const QScreen* screen = window.screen(); screen && realScreen) {
        const QSize free = screen->availableGeometry().size() * window.zoomFactor();
        setting.setDesktopScreen(
            {static_cast<double>(free.width()), static_cast<double>(free.height())});
    }
    const Size emulated = window.deviceProfile().screenSize;
    window.showZoom(setting.zoom(), setting.factor(emulated));
    window.setZoomObserver([&defaults, emulated](WindowZoom zoom) {
        WindowZoomSetting chosen(defaults);
        chosen.setZoom(zoom);
        defaults.synchronize();
        return chosen.factor(emulated);
    });
}

}  // namespace qp
