#pragma once
// Builds the app's services, starts the application object and runs it: in a
// desktop window, or headless through a whole lifecycle for scripts and CI.

#include <filesystem>
#include <string>

#include "platform/DeviceProfile.h"

namespace qp {

struct RunOptions {
    bool headless = false;
    std::filesystem::path home;        // empty: Paths::defaultHome()
    std::filesystem::path configFile;  // empty: Configuration::defaultFile()
    DeviceProfile device = defaultDeviceProfile();
    // Headless only: a PNG of the window right after launch.
    std::filesystem::path screenshot;
    // Headless only: Start is pressed and this photo placed in the editor
    // before the screenshot.
    std::filesystem::path photo;
    // A URL opened into the app (--open): in a window, handed to the app
    // already running on the home if there is one; else to this app after
    // launch.
    std::string openURL;
};

// Runs the app; answers the process's exit status. A QApplication must not
// exist yet: this creates it.
int runApp(int argc, char** argv, const RunOptions& options);

}  // namespace qp
