#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include <QAbstractButton>

#include "editor/ui/QuillpostVC.h"
#include "platform/ui/LayoutLoader.h"
#include "screens/MainViewController.h"
#include "screens/MoreViewController.h"
#include "screens/SettingsViewController.h"
#include "share/SharePopupVC.h"

using namespace qp;

// Every layout file in the resources loads with the controller of its screen,
// so a renamed outlet or action in a layout is caught here, not by a user.
TEST(LayoutFiles, EveryBundledLayoutMatchesItsController) {
    const std::filesystem::path folder = std::filesystem::path(QP_RESOURCES) / "layouts";
    LayoutLoader::shared().setLayoutsFolder(folder);
    const AppContext context;
    using Factory = std::function<std::shared_ptr<ViewController>(const std::string&)>;
    const std::map<std::string, Factory> screens{
        {"MainViewController",
         [&](const std::string& n) { return std::make_shared<MainViewController>(n, context); }},
        {"QuillpostVC",
         [&](const std::string& n) { return std::make_shared<QuillpostVC>(n, context); }},
        {"More",
         [&](const std::string& n) { return std::make_shared<MoreViewController>(n, context); }},
        {"SettingsViewController",
         [&](const std::string& n) {
             return std::make_shared<SettingsViewController>(n, context);
         }},
        {"SharePopupVC", [&](const std::string& n) { return std::make_shared<SharePopupVC>(n); }},
    };
    std::map<std::string, int> variantsPerScreen;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".ui") continue;
        const std::string name = entry.path().stem().string();
        const std::string screen = name.substr(0, name.rfind('_'));
        SCOPED_TRACE(name);
        auto factory = screens.find(screen);
        ASSERT_NE(factory, screens.end()) << "no controller is known for this layout";
        std::shared_ptr<ViewController> controller = factory->second(name);
        Result<void> loaded = controller->loadViewIfNeeded();
        EXPECT_TRUE(loaded.ok()) << (loaded.ok() ? "" : loaded.error().description());
        ++variantsPerScreen[screen];
    }
    EXPECT_EQ(variantsPerScreen["MainViewController"], 3);
    EXPECT_EQ(variantsPerScreen["QuillpostVC"], 3);
    EXPECT_EQ(variantsPerScreen["More"], 2);
    EXPECT_EQ(variantsPerScreen["SettingsViewController"], 3);
    EXPECT_EQ(variantsPerScreen["SharePopupVC"], 3);
}

// The start screen's, the editor's and the share sheet's buttons each show
// an icon and a title, so that each one's purpose reads at a glance; only
// the Facebook panel's Cancel and Post are words alone.
TEST(LayoutFiles, ScreenButtonsShowAnIconAndATitle) {
    const std::filesystem::path folder = std::filesystem::path(QP_RESOURCES) / "layouts";
    LayoutLoader::shared().setLayoutsFolder(folder);
    const AppContext context;
    std::vector<std::shared_ptr<ViewController>> screens;
    for (const char* variant : {"_iPhone", "_iPhone40", "_iPad"}) {
        const std::string v = variant;
        screens.push_back(std::make_shared<MainViewController>("MainViewController" + v, context));
        screens.push_back(std::make_shared<QuillpostVC>("QuillpostVC" + v, context));
        screens.push_back(std::make_shared<SharePopupVC>("SharePopupVC" + v));
    }
    for (const auto& screen : screens) {
        SCOPED_TRACE(screen->layoutName());
        ASSERT_TRUE(screen->loadViewIfNeeded().ok());
        int buttons = 0;
        for (auto* button : screen->view()->findChildren<QAbstractButton*>()) {
            if (!button->property("action").isValid()) continue;  // made by code
            if (button->parentWidget()->objectName() == "postToFacebookView") continue;
            SCOPED_TRACE(button->objectName().toStdString());
            EXPECT_FALSE(button->icon().isNull());
            EXPECT_FALSE(button->text().isEmpty());
            ++buttons;
        }
        EXPECT_GE(buttons, 6);
    }
}
