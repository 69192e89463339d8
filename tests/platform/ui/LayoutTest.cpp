#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextView.h"
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
        LayoutLoader::shared().registerWidgetClass(
            "SquareView", [](QWidget* parent) { return new SquareView(parent); });
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
    struct Case {
        const char* layout;
        std::vector<std::string> outlets;
        int code;
        const char* words;
    };
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
        EXPECT_NE(loaded.error().description().find(c.words), std::string::npos)
            << loaded.error().description();
        EXPECT_FALSE(controller->isViewLoaded());
        EXPECT_EQ(controller->loads, 0);
    }
}

TEST_F(LayoutTest, ToolkitWidgetsLoadAsTheirOwnClassesAndSendActions) {
    auto controller = std::make_shared<TestController>("Toolkit_iPhone");
    ASSERT_TRUE(controller->loadViewIfNeeded().ok());
    auto* button = dynamic_cast<Button*>(controller->outlet("startButton"));
    auto* slider = dynamic_cast<Slider*>(controller->outlet("previewView"));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(button->tag(), 1000);
    EXPECT_NE(dynamic_cast<ScrollView*>(controller->outlet("strip")), nullptr);
    EXPECT_NE(dynamic_cast<TextView*>(controller->outlet("text")), nullptr);
    EXPECT_NE(dynamic_cast<Label*>(controller->outlet("label")), nullptr);

    button->click();
    EXPECT_EQ(controller->starts, 1);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(200, 15), QPointF(200, 15), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &press);
    EXPECT_EQ(controller->starts, 2);
    EXPECT_EQ(controller->lastSender, slider);
}
