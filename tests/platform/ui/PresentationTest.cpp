#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

using namespace qp;

namespace {

using Log = std::vector<std::string>;

class Recorder : public ViewController {
public:
    Recorder(std::string name, Log& log) : ViewController(""), m_name(std::move(name)), m_log(log) {}
    void viewDidLoad() override { m_log.push_back(m_name + ".load"); }
    void viewWillAppear(bool) override { m_log.push_back(m_name + ".willAppear"); }
    void viewDidAppear(bool) override { m_log.push_back(m_name + ".didAppear"); }
    void viewWillDisappear(bool) override { m_log.push_back(m_name + ".willDisappear"); }
    void viewDidDisappear(bool) override { m_log.push_back(m_name + ".didDisappear"); }

private:
    std::string m_name;
    Log& m_log;
};

}  // namespace

TEST(ViewController, LifecycleFollowsWindowAndModalPresentation) {
    Log log;
    Window window(defaultDeviceProfile());
    auto root = std::make_shared<Recorder>("root", log);
    auto modal = std::make_shared<Recorder>("modal", log);
    window.setRootViewController(root);
    window.makeKeyAndVisible();
    EXPECT_EQ(log, (Log{"root.load", "root.willAppear", "root.didAppear"}));

    log.clear();
    bool presentedDone = false;
    root->presentViewController(modal, true, [&] { presentedDone = true; });
    EXPECT_TRUE(presentedDone);
    EXPECT_EQ(root->presentedViewController(), modal.get());
    EXPECT_EQ(modal->presentingViewController(), root.get());
    EXPECT_EQ(log, (Log{"modal.load", "modal.willAppear", "root.willDisappear", "modal.didAppear",
                        "root.didDisappear"}));
    EXPECT_EQ(modal->view()->geometry(), window.rect());

    // A second presentation while one is showing is ignored.
    root->presentViewController(std::make_shared<Recorder>("other", log), false);
    EXPECT_EQ(root->presentedViewController(), modal.get());

    log.clear();
    modal->dismissViewControllerAnimated(false);  // a presented controller may dismiss itself
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(modal->presentingViewController(), nullptr);
    EXPECT_EQ(log, (Log{"modal.willDisappear", "root.willAppear", "modal.didDisappear", "root.didAppear"}));
    EXPECT_FALSE(modal->view()->isVisible());

    log.clear();
    modal->dismissViewControllerAnimated(false);  // nothing to dismiss
    EXPECT_TRUE(log.empty());
}

TEST(ViewController, PortraitOnly) {
    Log log;
    Recorder vc("vc", log);
    EXPECT_TRUE(vc.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::Portrait));
    EXPECT_FALSE(vc.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::LandscapeLeft));
    EXPECT_EQ(vc.supportedInterfaceOrientations(), kInterfaceOrientationMaskPortrait);
}
