#pragma once
// The services and app-wide state that screens reach. The application object
// owns everything here; screens only observe it.

#include <functional>
#include <memory>

namespace qp {

class AnalyticsRecorder;
class AppState;
class Clock;
class Configuration;
class HttpClient;
class MainQueue;
class NotificationCenter;
class Paths;
class UrlOpener;
class UserDefaults;
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
    // The current more-apps screen, which the app re-creates after each stay
    // in the background; screens ask for it each time instead of keeping it.
    std::function<std::shared_ptr<ViewController>()> moreViewController;
};

}  // namespace qp
