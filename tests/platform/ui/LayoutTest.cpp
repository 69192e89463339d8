#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "platform/ui/LayoutLoader.h"
#include "platform/ui/ViewController.h"

using namespace qp;

namespace {

class SquareView : public QWidget {
public:
    using QWidget::QWidget;
};

class TestController : public ViewController {
public:
    using ViewController::ViewController;
    std::vector<std::string> outlets{"startButton", "previewView"};
    int starts = 0;
    int loads = 0;
    QObject* lastSender = nullptr;

protected:
    std::vector<std::string> requiredOutlets() const override { return outlets; }
    std::map<std::string, Action> actions() override {
        return {{"actionStartButton", [this](QObject* sender) {
                     ++starts;
                     lastSender = sender;
                 }}};
    }
    void viewDidLoad() override { ++loads; }
};

class LayoutTest : public testing::Test {
protected:
    void SetUp() override {
        LayoutLoader::shared().setLayoutsFolder(QP_TEST_LAYOUTS);
        LayoutLoader::shared().registerWidgetClass("SquareView", [](QWidget* parent) { return new SquareView(parent); });
    }
};

}  // namespace

TEST_F(LayoutTest, BindsOutletsActionsTagsAndCustomWidgets) {
    auto controller = std::make_shared<TestController>("Good_iPhone");
    ASSERT_TRUE(controller->loadViewIfNeeded().ok());
    ASSERT_TRUE(controller->loadViewIfNeeded().ok());
    EXPECT_EQ(controller->loads, 1);  // viewDidLoad runs once

    auto* button = controller->outlet<QPushButton>("startButton");
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_EQ(controller->starts, 1);
    EXPECT_EQ(controller->lastSender, button);

    EXPECT_NE(dynamic_cast<SquareView*>(controller->outlet("previewView")), nullptr);
    EXPECT_EQ(viewWithTag(controller->view(), 7), button);
    EXPECT_EQ(viewWithTag(controller->view(), 501), controller->outlet("deepLabel"));
    EXPECT_EQ(viewWithTag(controller->view(), 99), nullptr);
    EXPECT_EQ(tagOf(controller->outlet("panel")), 0);
}

TEST_F(LayoutTest, MismatchedLayoutsFailWithAClearReason) {
    struct Case { const char* layout; std::vector<std::string> outlets; int code; const char* words; };
    const Case cases[] = {
        {"Missing_iPhone", {}, 1, "not found"},
        {"Broken_iPhone", {}, 2, "not valid"},
        {"Good_iPhone", {"startButton", "shareButton"}, 3, "outlet 'shareButton' is missing"},
        {"UnknownAction_iPhone", {}, 4, "unknown action 'actionNobodyHandles'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        auto controller = std::make_shared<TestController>(c.layout);
        controller->outlets = c.outlets;
        Result<void> loaded = controller->loadViewIfNeeded();
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.error().code(), c.code);
        EXPECT_NE(loaded.error().description().find(c.words), std::string::npos) << loaded.error().description();
        EXPECT_FALSE(controller->isViewLoaded());
        EXPECT_EQ(controller->loads, 0);
    }
}
