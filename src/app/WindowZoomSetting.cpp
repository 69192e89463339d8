#include "app/WindowZoomSetting.h"

#include <QGuiApplication>
#include <QScreen>

#include <fmt/format.h>

#include <cstdlib>

#include "platform/plist/PlistUserDefaults.h"
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

double applyRememberedZoom(const std::filesystem::path& preferences,
                           const std::string& bundleIdentifier, const DeviceProfile& device) {
    if (std::getenv(kScaleFactorVariable)) return scaleFactorInEffect();
    PlistUserDefaults defaults(preferences, bundleIdentifier);
    const double factor = WindowZoomSetting(defaults).factor(device.screenSize);
    if (factor != 1) setenv(kScaleFactorVariable, fmt::format("{:g}", factor).c_str(), 1);
    return factor;
}

double scaleFactorInEffect() {
    const char* value = std::getenv(kScaleFactorVariable);
    if (!value) return 1;
    char* end = nullptr;
    const double factor = std::strtod(value, &end);
    return end != value && std::isfinite(factor) && factor > 0 ? factor : 1;
}

void connectWindowZoom(Window& window, UserDefaults& defaults) {
    WindowZoomSetting setting(defaults);
    const double factor = scaleFactorInEffect();
    window.setZoomInEffect(setting.zoom(), factor);
    // The screen in the units the emulated screen is measured in, so the
    // next start can fit it whatever this run's zoom. A headless run's
    // stand-in screen says nothing about the desktop.
    const bool realScreen = QGuiApplication::platformName() != QLatin1String("offscreen");
    if (const QScreen* screen = window.screen(); screen && realScreen) {
        const QSize free = screen->availableGeometry().size();
        setting.setDesktopScreen({free.width() * factor, free.height() * factor});
    }
    window.setZoomObserver([&defaults](WindowZoom zoom) {
        WindowZoomSetting(defaults).setZoom(zoom);
        defaults.synchronize();
    });
}

}  // namespace qp
