#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/AppDelegate.h"
#include "platform/DeviceProfile.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/LayoutLoader.h"
#include "screens/MainViewController.h"
#include "support/MemoryUserDefaults.h"
#include "support/RecordingAnalytics.h"
#include "support/RecordingUrlOpener.h"

using namespace qp;

namespace {

class StartScreenTest : public testing::Test {
protected:
    void SetUp() override {
        LayoutLoader::shared().setLayoutsFolder(std::filesystem::path(QP_RESOURCES) / "layouts");
        AlertView::setHeadless(true);
        AppContext c;
        c.device = &device;
        c.analytics = &analytics;
        c.defaults = &defaults;
        c.urlOpener = &urls;
        app = std::make_unique<AppDelegate>(c, "KEY");
        app->applicationDidFinishLaunchingWithOptions();
    }

    DeviceProfile device = defaultDeviceProfile();
    RecordingAnalytics analytics;
    MemoryUserDefaults defaults;
    RecordingUrlOpener urls;
    std::unique_ptr<AppDelegate> app;
};

}  // namespace

TEST_F(StartScreenTest, StartShowsTheSameEditorEveryTimeAndSetsTheFlag) {
    MainViewController& start = *app->viewController();
    start.actionStartButton(nullptr);
    ViewController* editor = start.editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->layoutName(), "QuillpostVC_iPhone40");
    EXPECT_EQ(editor->modalTransitionStyle(), ModalTransitionStyle::CrossDissolve);
    EXPECT_EQ(start.presentedViewController(), editor);
    // The editor cleared the flag when it came on screen.
    EXPECT_FALSE(app->state().startButtonWasPressed());

    editor->dismissViewControllerAnimated(false);
    start.actionStartButton(nullptr);
    EXPECT_EQ(start.editor(), editor);
    EXPECT_EQ(start.presentedViewController(), editor);
}

TEST_F(StartScreenTest, InstagramLinksAreExactAndAMissingAppIsReported) {
    MainViewController& start = *app->viewController();
    urls.openableSchemes = {"instagram"};
    start.actionInstaFollow(nullptr);
    start.actionQuillpostTag(nullptr);
    EXPECT_EQ(urls.opened, (std::vector<std::string>{"instagram://user?username=VantoraApp",
                                                     "instagram://tag?name=Vantora"}));

    urls.openableSchemes.clear();
    urls.opened.clear();
    const int alertsBefore = AlertView::shownCount();
    start.actionInstaFollow(nullptr);
    EXPECT_TRUE(urls.opened.empty());
    EXPECT_EQ(AlertView::shownCount(), alertsBefore + 1);
    QCoreApplication::processEvents();  // the headless answer closes it
}

TEST(FormatWithObject, FillsThePlaceholder) {
    EXPECT_EQ(formatWithObject("a%@b", "X"), "aXb");
    EXPECT_EQ(formatWithObject("none", "X"), "none");
}
