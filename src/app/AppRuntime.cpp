#include "app/AppRuntime.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>

#include <unistd.h>

#include "analytics/UsageAnalytics.h"
#include "app/AppDelegate.h"
#include "app/AppInstance.h"
#include "app/AppThemeFeed.h"
#include "app/AppUsageReportsSwitch.h"
#include "appkit/Configuration.h"
#include "appkit/LayoutVariant.h"
#include "editor/ui/QuillpostVC.h"
#include "facebook/ui/FBWebDialogFactory.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Paths.h"
#include "platform/RuntimeFolder.h"
#include "platform/curl/CurlHttpClient.h"
#include "platform/plist/PlistUserDefaults.h"
#include "platform/qt/DesktopUrlOpener.h"
#include "platform/qt/QtMainQueue.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AppStyle.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/LifecycleBridge.h"
#include "platform/ui/TextMessageService.h"
#include "platform/ui/UiTiming.h"
#include "platform/ui/WebEngineProfile.h"
#include "platform/ui/Window.h"
#include "screens/MainViewController.h"
#include "share/DesktopShareServices.h"

namespace qp {

namespace {

constexpr const char* kAppErrorDomain = "qp.app";
enum AppErrorCode { kAppErrorNoEditor = 1 };

constexpr const char* kBundleIdentifier = "net.quillpost.Quillpost";
constexpr const char* kLogFileName = "Quillpost.log";
// Under the app's Library folder: the web views' cookies and cache.
constexpr const char* kWebStorageFolder = "WebEngine";
constexpr const char* kAppVersion = QP_APP_VERSION;

// Appends every log line to a file in the app home.
class LogFile {
public:
    explicit LogFile(const std::filesystem::path& path) : m_out(path, std::ios::app) {
        if (m_out)
            m_sink = Log::addSink([this](std::string_view line) {
                std::lock_guard lock(m_mutex);
                m_out << line << '\n';
                m_out.flush();
            });
    }
    ~LogFile() {
        if (m_sink) Log::removeSink(m_sink);
    }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

private:
    std::ofstream m_out;
    std::mutex m_mutex;
    Log::SinkId m_sink = 0;
};

// Lets the event loop run for `time`, so fades and queued work finish.
void runEventsFor(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

// The app only alerts that there is no photo library; on the command line
// the folder it looked for can be named.
void reportMissingPhotoLibrary(const QuillpostVC& editor) {
    const std::string folder = editor.photoLibrary().empty() ? "(no Pictures folder is known)"
                                                             : editor.photoLibrary().string();
    std::fprintf(stderr,
                 "quillpost: the photo library folder %s is missing or unreadable,\n"
                 "so Start showed \"%s\" instead of the picker (the photo is placed all the "
                 "same).\nCreate the folder, or set %s in the configuration file.\n",
                 folder.c_str(), kPhotoLibraryErrorMessage, config::kPhotoLibrary);
}

// Presses Start, closes the picker it opens and places `photo` instead, as
// if the user had picked it. An error when the photo cannot be placed.
Result<void> startEditorWithPhoto(AppDelegate& delegate, const std::filesystem::path& photo) {
    MainViewController& start = *delegate.viewController();
    start.actionStartButton(nullptr);
    auto* editor = dynamic_cast<QuillpostVC*>(start.editor());
    if (!editor) {
        return Error(kAppErrorDomain, kAppErrorNoEditor,
                     {{kLocalizedDescriptionKey, "Start opened no editor"}});
    }
    runEventsFor(kCrossDissolveDuration * 2);
    if (!editor->photoLibraryIsReadable()) reportMissingPhotoLibrary(*editor);
    if (PhotoPickerVC* picker = editor->photoPicker()) picker->cancel();
    Result<void> placed = editor->placePhotoFile(photo);
    runEventsFor(kCrossDissolveDuration * 2);
    return placed;
}

// Drives the lifecycle a person would: launch, switch away and back, quit.
// Answers false when the photo or the screenshot failed.
bool runHeadlessLifecycle(ApplicationLifecycle& lifecycle, AppDelegate& delegate,
                          const RunOptions& options) {
    const std::filesystem::path& screenshot = options.screenshot;
    lifecycle.launch();
    QCoreApplication::processEvents();
    if (!options.openURL.empty()) openIncomingURL(delegate, options.openURL);
    if (!options.photo.empty()) {
        if (Result<void> placed = startEditorWithPhoto(delegate, options.photo); !placed.ok()) {
            std::fprintf(stderr, "quillpost: cannot place the photo %s: %s\n",
                         options.photo.c_str(), placed.error().description().c_str());
            return false;
        }
    }
    bool saved = true;
    if (!screenshot.empty()) {
        saved = delegate.window()->grab().save(QString::fromStdString(screenshot.string()), "PNG");
        if (!saved) logf("Cannot write the screenshot to {}", screenshot.string());
    }
    lifecycle.windowDeactivated();
    lifecycle.enterBackground();
    QCoreApplication::processEvents();
    lifecycle.enterForeground(true);
    QCoreApplication::processEvents();
    lifecycle.terminate();
    QCoreApplication::processEvents();
    return saved;
}

}  // namespace

int runApp(int argc, char** argv, const RunOptions& options) {
    if (options.headless) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // Qt wants a private runtime folder; a bare CI shell has none.
        providePrivateRuntimeFolder();
    }
    // The web engine reads its settings before the application exists.
    prepareWebEngine();
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName("Quillpost");
    // The desktop matches the window with the installed desktop entry.
    QGuiApplication::setDesktopFileName(kBundleIdentifier);
    setCurrentDeviceProfile(options.device);

    const std::filesystem::path executableDir =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    Paths paths(options.home.empty() ? Paths::defaultHome() : options.home,
                Paths::locateResources(executableDir));
    if (Result<void> made = paths.createStandardFolders(); !made.ok()) {
        std::fprintf(stderr, "quillpost: %s\nChoose another home with --home DIR.\n",
                     made.error().description().c_str());
        return 1;
    }
    // A windowed start on a home whose app is running hands over to it.
    InstanceStart instance;
    if (!options.headless) {
        instance = claimHome(paths, options.openURL);
        if (instance.exitStatus) return *instance.exitStatus;
    }
    std::error_code ec;
    std::filesystem::create_directories(paths.library() / "Logs", ec);
    LogFile logFile(paths.library() / "Logs" / kLogFileName);

    const std::filesystem::path configFile =
        options.configFile.empty() ? Configuration::defaultFile() : options.configFile;
    Result<Configuration> configuration = Configuration::load(configFile);
    if (!configuration.ok()) {
        std::fprintf(stderr, "quillpost: %s\nCorrect it, or point --config at another file.\n",
                     configuration.error().description().c_str());
        return 1;
    }

    LayoutLoader::shared().setLayoutsFolder(paths.resources() / "layouts");
    if (!LayoutLoader::shared().hasLayout(moreLayoutName(options.device))) {
        std::fprintf(stderr, "quillpost: no layout files under %s\n%s\n",
                     (paths.resources() / "layouts").c_str(),
                     Paths::resourcesSearchHint(executableDir).c_str());
        return 1;
    }
    if (Result<void> styled = applyAppStyle(application, paths.resources()); !styled.ok()) {
        std::fprintf(stderr, "quillpost: %s\n", styled.error().description().c_str());
    }
    AlertView::setHeadless(options.headless);

    QtMainQueue mainQueue;
    SystemClock clock;
    ScopedUiTiming uiTiming(mainQueue, clock);
    NotificationCenter notifications(&mainQueue);
    PlistUserDefaults defaults(paths.preferences(), kBundleIdentifier);
    DesktopUrlOpener urlOpener;
    // Shared with the usage reports, whose last send may outlive this function.
    const auto http = std::make_shared<CurlHttpClient>(mainQueue);
    DesktopTextMessageService textMessages;
    UsageAnalyticsSettings usageSettings;
    usageSettings.usageReportsEnabled = configuration->value(config::kAnalyticsEnabled) == "true";
    UsageAnalytics analytics(clock, notifications, http, paths.library(), kAppVersion,
                             configuration->value(config::kAnalyticsReportUrl), usageSettings);
    analytics.setMainQueue(&mainQueue);
    analytics.setSecondStartAlert([](const std::string& message, const std::string& cancel) {
        AlertView::create("", message, nullptr, cancel)->show();
    });

    // The web views keep their cookies and cache in the app home; the engine
    // starts with the first page shown.
    WebEngineProfile webProfile(paths.library() / kWebStorageFolder, &urlOpener);
    AppDelegate* appDelegate = nullptr;
    FBDialogEnvironment dialogEnvironment;
    dialogEnvironment.keyWindow = [&appDelegate]() -> QWidget* {
        return appDelegate ? appDelegate->window() : nullptr;
    };
    dialogEnvironment.makeWebView = webProfile.webViewFactory();
    dialogEnvironment.clock = &clock;
    dialogEnvironment.isPad = options.device.isPad();
    dialogEnvironment.closeButtonImage = paths.resources() / kFBCloseButtonImage;
    dialogEnvironment.notifications = &notifications;
    FBWebDialogFactory facebookDialogs(dialogEnvironment, &webProfile);

    AppContext context;
    context.device = &options.device;
    context.analytics = &analytics;
    context.notifications = &notifications;
    context.defaults = &defaults;
    context.paths = &paths;
    context.config = &*configuration;
    context.urlOpener = &urlOpener;
    context.mainQueue = &mainQueue;
    context.clock = &clock;
    context.http = http.get();
    context.textMessages = &textMessages;
    DesktopShareServices shareServices({*configuration, paths, mainQueue, urlOpener, *http, clock,
                                        &analytics, &defaults, options.device.multitaskingSupported,
                                        &facebookDialogs,
                                        [](std::shared_ptr<OpenURLHandler> facebook) {
                                            if (AppDelegate* app = AppDelegate::shared())
                                                app->setFacebook(std::move(facebook));
                                        }});
    context.makeShareSheet = shareServices.sheetFactory();
    context.mail = shareServices.services().mail;
    AppUsageReportsSwitch usageReports(analytics, configFile);
    context.usageReports = &usageReports;
    context.makeWebView = webProfile.webViewFactory();
    context.facebookDialogs = &facebookDialogs;

    // Settings reach the disk whenever the app may be stopped.
    for (const char* name :
         {kApplicationDidEnterBackgroundNotification, kApplicationWillTerminateNotification}) {
        notifications.addObserver(name, nullptr,
                                  [&defaults](const Notification&) { defaults.synchronize(); });
    }

    // The theme of the day from the configured host; with none, the editor
    // keeps the bundled art and nothing is fetched.
    std::unique_ptr<AppThemeFeed> themeOfTheDay;
    context.themeFeed = [&themeOfTheDay]() -> ThemeFeed* {
        return themeOfTheDay ? &themeOfTheDay->themeFeed() : nullptr;
    };
    AppDelegate delegate(context, configuration->value(config::kAnalyticsKey));
    appDelegate = &delegate;
    themeOfTheDay =
        AppThemeFeed::create(context, delegate.state(), configuration->value(config::kFeedHost));
    ApplicationLifecycle lifecycle(delegate, &notifications);

    if (options.headless) {
        return runHeadlessLifecycle(lifecycle, delegate, options) ? 0 : 1;
    }
    lifecycle.launch();
    serveLaterStarts(instance.channel.get(), delegate, options.openURL);
    LifecycleBridge bridge(lifecycle, delegate.window());
    return QApplication::exec();
}

}  // namespace qp
