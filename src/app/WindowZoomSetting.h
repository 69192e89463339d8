#pragma once
// The window's zoom kept between runs: the user's choice and the desktop
// screen's free size last seen (what "fit to screen" fits into). The whole
// program is scaled by one factor chosen before it starts.

#include <filesystem>
#include <optional>

#include "platform/DeviceProfile.h"
#include "platform/Geometry.h"
#include "platform/ui/WindowZoom.h"

namespace qp {

class UserDefaults;
class Window;

inline constexpr const char* kWindowZoomKey = "WindowZoom";
inline constexpr const char* kDesktopScreenWidthKey = "DesktopScreenWidth";
inline constexpr const char* kDesktopScreenHeightKey = "DesktopScreenHeight";
// Qt's own variable: whoever sets it chooses the factor, not the settings.
inline constexpr const char* kScaleFactorVariable = "QT_SCALE_FACTOR";

class WindowZoomSetting {
public:
    explicit WindowZoomSetting(UserDefaults& defaults) : m_defaults(defaults) {}

    // 1× until chosen; an unknown name (a hand-edited file) reads as 1×.
    WindowZoom zoom() const;
    void setZoom(WindowZoom zoom);
    std::optional<Size> desktopScreen() const;
    void setDesktopScreen(Size size);
    double factor(Size emulatedScreen) const {
        return zoomFactor(zoom(), emulatedScreen, desktopScreen());
    }

private:
    UserDefaults& m_defaults;
};

// Before the application exists: sets Qt's scale factor for the zoom kept
// under `preferences`, unless the variable is set already. Answers the
// factor the program will be shown at.
double applyRememberedZoom(const std::filesystem::path& preferences,
                           const std::string& bundleIdentifier, const DeviceProfile& device);

// The factor the program is shown at (Qt's variable, 1 when unset).
double scaleFactorInEffect();

// Shows the zoom in `window`'s title, keeps the user's next choice in
// `defaults`, and remembers the desktop screen the window is on.
void connectWindowZoom(Window& window, UserDefaults& defaults);

}  // namespace qp
