#include "app/AppDelegate.h"

#include <limits>

#include "analytics/AnalyticsRecorder.h"
#include "app/AppShortcuts.h"
#include "app/WindowZoomSetting.h"
#include "appkit/LayoutVariant.h"
#include "appkit/UIDeviceHardware.h"
#include "platform/DeviceProfile.h"
#include "platform/Log.h"
#include "platform/plist/UserDefaults.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"
#include "screens/MainViewController.h"
#include "screens/MoreViewController.h"
#include "share/SharePopupVC.h"
#include "ui/Throbber.h"

namespace qp {

namespace {
constexpr const char* kStartScreen = "MainViewController";
AppDelegate* g_shared = nullptr;
}  // namespace

AppDelegate::AppDelegate(AppContext context, std::string analyticsKey,
                         std::function<std::string()> machineReader)
    : m_context(std::move(context)),
      m_analyticsKey(std::move(analyticsKey)),
      m_machineReader(machineReader ? std::move(machineReader)
                                    : std::function<std::string()>(hostMachineIdentifier)) {
    m_context.state = &m_state;
    m_context.moreViewController = [this]() -> std::shared_ptr<ViewController> {
        return m_moreViewController;
    };
    if (!m_context.makeShareSheet) {
        m_context.makeShareSheet = [](const std::string& layout,
                                      const Image& image) -> std::shared_ptr<ViewController> {
            auto sheet = std::make_shared<SharePopupVC>(layout);
            sheet->setTheShareImage(image);
            return sheet;
        };
    }
    g_shared = this;
}

AppDelegate::~AppDelegate() {
    if (g_shared == this) g_shared = nullptr;
    // Screens go before the window that shows them.
    m_moreViewController.reset();
    if (m_window) m_window->setRootViewController(nullptr);
    m_viewController.reset();
}

AppDelegate* AppDelegate::shared() {
    return g_shared;
}

std::shared_ptr<MoreViewController> AppDelegate::makeMoreViewController() const {
    return std::make_shared<MoreViewController>(moreLayoutName(*m_context.device), m_context);
}

void AppDelegate::setMoreViewController(std::shared_ptr<MoreViewController> controller) {
    m_moreViewController = std::move(controller);
}

bool AppDelegate::applicationDidFinishLaunchingWithOptions() {
    logLine("-[AppDelegate application:didFinishLaunchingWithOptions:]");
    logLine(" ");

    m_context.analytics->startSession(m_analyticsKey);

    m_window = std::make_unique<Window>(*m_context.device);
    m_window->setShortcuts(appShortcuts());
    connectWindowZoom(*m_window, *m_context.defaults);

    // A count already at the largest value stays there rather than wrapping
    // to a negative number (a damaged or hand-edited settings file).
    const std::int64_t before = m_context.defaults->integerForKey(kLaunchesNumberKey);
    const std::int64_t launches =
        before < std::numeric_limits<std::int64_t>::max() ? before + 1 : before;
    m_context.defaults->setInteger(launches, kLaunchesNumberKey);
    logf("kLaunchesNumber = {}", launches);
    logLine(" ");

    const UIDeviceHardware hardware(*m_context.device, m_machineReader);
    m_state.setDeviceType(hardware.findDeviceType());
    logf("deviceType: {}", m_state.deviceType());

    m_viewController = std::make_shared<MainViewController>(
        layoutName(kStartScreen, m_state.deviceType(), *m_context.device), m_context);
    m_window->setRootViewController(m_viewController);
    m_window->makeKeyAndVisible();

    m_moreViewController = makeMoreViewController();

    Throbber* throbber = Throbber::defaultThrobberOnViewWithTitleDetailsDisplayModeBlockNavigation(
        m_window.get(), QString(), QString(), 0, true);
    throbber->titleLabel()->setLabelFont(boldSystemFontOfSize(10));
    throbber->titleLabel()->setNumberOfLines(0);
    throbber->titleLabel()->setLineBreakMode(LineBreakMode::WordWrap);
    return true;
}

void AppDelegate::applicationDidBecomeActive() {
    const UIDeviceHardware hardware(*m_context.device, m_machineReader);
    const std::string model = hardware.platformString();
    const std::string modelClass = hardware.platformClassString();
    const std::string version = m_context.device->systemVersion;
    const std::string versionClass = version.substr(0, 3);

    AnalyticsRecorder& analytics = *m_context.analytics;
    analytics.logEventWithParameters(kEventDevice, {{kEventDeviceParameter, model}});
    analytics.logEventWithParameters(kEventSystem, {{kEventSystemParameter, version}});
    analytics.logEventWithParameters(kEventDeviceClass, {{kEventDeviceClassParameter, modelClass}});
    analytics.logEventWithParameters(kEventSystemClass,
                                     {{kEventSystemClassParameter, versionClass}});
}

void AppDelegate::applicationDidEnterBackground() {
    logLine("-[AppDelegate applicationDidEnterBackground:]");
    if (m_moreViewController) m_moreViewController->dismissViewControllerAnimated(false);
    m_moreViewController.reset();
}

void AppDelegate::applicationWillEnterForeground() {
    logLine("-[AppDelegate applicationWillEnterForeground:]");
    if (m_moreViewController) return;
    m_moreViewController = makeMoreViewController();
}

bool AppDelegate::applicationOpenURLSourceApplicationAnnotation(const std::string& url,
                                                                const std::string&,
                                                                const std::string&) {
    return applicationHandleOpenURL(url);
}

bool AppDelegate::applicationHandleOpenURL(const std::string& url) {
    return m_facebook ? m_facebook->handleOpenURL(url) : false;
}

}  // namespace qp
