#pragma once
// An editor screen loaded headless for one device profile, with recording
// doubles for analytics and settings, a manual main queue and a photo
// library folder of the test's own.

#include <QImage>

#include <filesystem>
#include <memory>
#include <string>

#include "app/shared/Configuration.h"
#include "editor/ui/QuillpostVC.h"
#include "platform/AppState.h"
#include "platform/DeviceProfile.h"
#include "platform/NotificationCenter.h"
#include "platform/Paths.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/UiTiming.h"
#include "share/SharePopupVC.h"
#include "support/ManualMainQueue.h"
#include "support/MemoryUserDefaults.h"
#include "support/RecordingAnalytics.h"
#include "support/TempFolder.h"
#include "support/TestPhotos.h"

namespace qp::test {

inline std::string layoutFor(const DeviceProfile& device) {
    if (device.isPad()) return "QuillpostVC_iPad";
    return device.screenSize.height > 480 ? "QuillpostVC_iPhone40" : "QuillpostVC_iPhone";
}

struct EditorFixture {
    explicit EditorFixture(const std::string& deviceName = "iphone",
                           std::filesystem::path resources = QP_RESOURCES)
        : device(*deviceProfileNamed(deviceName)),
          paths(home.path() / "home", std::move(resources)),
          timing(queue, queue.clock()) {
        LayoutLoader::shared().setLayoutsFolder(std::filesystem::path(QP_RESOURCES) / "layouts");
        (void)paths.createStandardFolders();
        std::filesystem::create_directories(library());
        config.set(config::kPhotoLibrary, library().string());
        context.state = &state;
        context.device = &device;
        context.analytics = &analytics;
        context.notifications = &notifications;
        context.defaults = &defaults;
        context.paths = &paths;
        context.config = &config;
        context.mainQueue = &queue;
        context.makeShareSheet = [](const std::string& layout, const Image& image) {
            auto sheet = std::make_shared<SharePopupVC>(layout);
            sheet->setTheShareImage(image);
            return std::shared_ptr<ViewController>(sheet);
        };
        editor = std::make_shared<QuillpostVC>(layoutFor(device), context);
        editor->setPhotoChooser(
            [this](QWidget*,
                   const std::filesystem::path& folder) -> std::optional<std::filesystem::path> {
                ++pickerOpened;
                pickerFolder = folder;
                if (chosenPhoto.empty()) return std::nullopt;
                return chosenPhoto;
            });
    }

    std::filesystem::path library() const { return home.path() / "Pictures"; }

    // A photo of `width` × `height` in the library, left half red, right half blue.
    std::filesystem::path writePhoto(const std::string& name, int width, int height) {
        const std::filesystem::path path = library() / name;
        writeRedBluePhoto(path, width, height);
        return path;
    }

    QuillpostVC& load() {
        editor->view();
        return *editor;
    }

    TempFolder home;
    DeviceProfile device;
    AppState state;
    RecordingAnalytics analytics;
    NotificationCenter notifications;
    MemoryUserDefaults defaults;
    Paths paths;
    Configuration config;
    ManualMainQueue queue;
    ScopedUiTiming timing;
    AppContext context;
    std::shared_ptr<QuillpostVC> editor;
    std::filesystem::path chosenPhoto;
    std::filesystem::path pickerFolder;
    int pickerOpened = 0;
};

}  // namespace qp::test
