#pragma once
// The window's zoom kept between runs: the user's choice and the desktop
// screen's free size last seen (what "fit to screen" fits into). A chosen
// zoom shows at once and is the next start's zoom too.

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

// Shows `window` at the zoom kept in `defaults`, keeps the user's next choice
// there and shows it at once, and remembers the desktop screen the window is
// on.
void connectWindowZoom(Window& window, UserDefaults& defaults);

}  // namespace qp
