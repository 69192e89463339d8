#pragma once
// The app's services as screen tests use them: a home folder of the test's
// own with a photo library, recording doubles, a manual main queue that also
// drives the toolkit's animations, and alerts answered headless. Needs
// QP_RESOURCES defined.

#include <filesystem>
#include <string>

#include "appkit/AppContext.h"
#include "appkit/Configuration.h"
#include "platform/DeviceProfile.h"
#include "platform/NotificationCenter.h"
#include "platform/Paths.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/UiTiming.h"
#include "support/HeadlessAlerts.h"
#include "support/ManualMainQueue.h"
#include "support/MemoryUserDefaults.h"
#include "support/RecordingAnalytics.h"
#include "support/RecordingUrlOpener.h"
#include "support/TempFolder.h"

namespace qp::test {

struct TestAppServices {
    explicit TestAppServices(const std::string& deviceName,
                             std::filesystem::path resources = QP_RESOURCES)
        : device(*deviceProfileNamed(deviceName)),
          paths(home.path() / "home", std::move(resources)),
          timing(queue, queue.clock()) {
        LayoutLoader::shared().setLayoutsFolder(std::filesystem::path(QP_RESOURCES) / "layouts");
        (void)paths.createStandardFolders();
        std::filesystem::create_directories(library());
        config.set(config::kPhotoLibrary, library().string());
    }

    std::filesystem::path library() const { return home.path() / "Pictures"; }

    // The services wired into a context; the app state and the screen
    // factories are the caller's to add.
    AppContext context() {
        AppContext c;
        c.device = &device;
        c.analytics = &analytics;
        c.notifications = &notifications;
        c.defaults = &defaults;
        c.paths = &paths;
        c.config = &config;
        c.urlOpener = &urls;
        c.mainQueue = &queue;
        c.clock = &queue.clock();
        return c;
    }

    HeadlessAlerts headlessAlerts;
    TempFolder home;
    DeviceProfile device;
    Paths paths;
    ManualMainQueue queue;
    ScopedUiTiming timing;
    RecordingAnalytics analytics;
    // Delivers at once, so a test sees a notification's effect right after posting.
    NotificationCenter notifications;
    MemoryUserDefaults defaults;
    Configuration config;
    RecordingUrlOpener urls;
};

}  // namespace qp::test
