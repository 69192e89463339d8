#pragma once
// The one application object: runs the launch sequence, answers the
// lifecycle, owns the window, the start screen and the current more-apps
// screen, and holds the app-wide state record.

#include <memory>

#include "appkit/AppContext.h"
#include "appkit/OpenURLHandler.h"
#include "platform/AppState.h"
#include "platform/ApplicationLifecycle.h"

namespace qp {

class MainViewController;
class MoreViewController;
class Window;

inline constexpr const char* kLaunchesNumberKey = "kLaunchesNumber";
inline constexpr const char* kEventDevice = "1-Device:";
inline constexpr const char* kEventDeviceParameter = "Device Type";
inline constexpr const char* kEventSystem = "2-iOS:";
inline constexpr const char* kEventSystemParameter = "iOS version";
inline constexpr const char* kEventDeviceClass = "3-Device Class:";
inline constexpr const char* kEventDeviceClassParameter = "Device Class";
inline constexpr const char* kEventSystemClass = "4-iOS Class:";
inline constexpr const char* kEventSystemClassParameter = "iOS Class";

class AppDelegate final : public ApplicationDelegate {
public:
    // `context` supplies the services; its `state` and `moreViewController`
    // are filled in by the application object itself, and `makeShareSheet`
    // when the context has none. `analyticsKey` starts the usage session;
    // `machineReader` answers the kernel's machine name.
    AppDelegate(AppContext context, std::string analyticsKey,
                std::function<std::string()> machineReader = {});
    ~AppDelegate() override;

    // The running application object, reached from anywhere on the main thread.
    static AppDelegate* shared();

    bool applicationDidFinishLaunchingWithOptions() override;
    void applicationDidBecomeActive() override;
    void applicationWillResignActive() override {}
    void applicationDidEnterBackground() override;
    void applicationWillEnterForeground() override;
    void applicationWillTerminate() override {}
    bool applicationOpenURLSourceApplicationAnnotation(const std::string& url,
                                                       const std::string& source,
                                                       const std::string& annotation) override;
    bool applicationHandleOpenURL(const std::string& url) override;

    Window* window() const { return m_window.get(); }
    std::shared_ptr<MainViewController> viewController() const { return m_viewController; }
    std::shared_ptr<MoreViewController> moreViewController() const { return m_moreViewController; }
    void setMoreViewController(std::shared_ptr<MoreViewController> controller);
    OpenURLHandler* facebook() const { return m_facebook.get(); }
    void setFacebook(std::shared_ptr<OpenURLHandler> facebook) { m_facebook = std::move(facebook); }

    AppState& state() { return m_state; }
    const AppContext& context() const { return m_context; }

private:
    std::shared_ptr<MoreViewController> makeMoreViewController() const;

    AppContext m_context;
    std::string m_analyticsKey;
    std::function<std::string()> m_machineReader;
    AppState m_state;
    std::unique_ptr<Window> m_window;
    std::shared_ptr<MainViewController> m_viewController;
    std::shared_ptr<MoreViewController> m_moreViewController;
    std::shared_ptr<OpenURLHandler> m_facebook;
};

}  // namespace qp
