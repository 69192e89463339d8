#pragma once
// The services and app-wide state that screens reach. The application object
// owns everything here; screens only observe it.

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/WebView.h"

namespace qp {

class AnalyticsRecorder;
class AppState;
class Clock;
class Configuration;
class FBDialogFactory;
class HttpClient;
class Image;
class MailDelivery;
class MainQueue;
class NotificationCenter;
class Paths;
class TextMessageService;
class ThemeFeed;
class UrlOpener;
class UserDefaults;
class UsageReportsSwitch;
class ViewController;
struct DeviceProfile;

struct AppContext {
    AppState* state = nullptr;
    const DeviceProfile* device = nullptr;
    AnalyticsRecorder* analytics = nullptr;
    NotificationCenter* notifications = nullptr;
    UserDefaults* defaults = nullptr;
    const Paths* paths = nullptr;
    const Configuration* config = nullptr;
    UrlOpener* urlOpener = nullptr;
    MainQueue* mainQueue = nullptr;
    Clock* clock = nullptr;
    HttpClient* http = nullptr;
    // Absent: no text messages, as on a desktop.
    TextMessageService* textMessages = nullptr;
    // How mail composed in the app leaves it (the feedback mail); absent: none can.
    MailDelivery* mail = nullptr;
    // The usage-reports switch the settings screen offers; absent: no switch.
    UsageReportsSwitch* usageReports = nullptr;
    // Makes the in-app web views (the more-apps page); absent: none can be shown.
    WebViewFactory makeWebView;
    // The social network's in-app dialogs, for the clients the share sheet makes.
    FBDialogFactory* facebookDialogs = nullptr;
    // The current more-apps screen, which the app re-creates after each stay
    // in the background; screens ask for it each time instead of keeping it.
    std::function<std::shared_ptr<ViewController>()> moreViewController;
    // The theme-of-the-day feed the editor asks, or null (or absent): the
    // bundled stand-in. Asked when the editor loads, after the app has made it.
    std::function<ThemeFeed*()> themeFeed;
    // Makes the share sheet from its layout, showing `image`. Screens above
    // the editor provide it, since the sheet's module sits beside the editor.
    std::function<std::shared_ptr<ViewController>(const std::string& layoutName,
                                                  const Image& image)>
        makeShareSheet;
};

}  // namespace qp
