#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <memory>

#include "platform/ui/AlertView.h"
#include "support/HeadlessAlerts.h"

using namespace qp;

namespace {
struct Answers : AlertViewDelegate {
    std::vector<int> indices;
    void alertViewClickedButtonAtIndex(AlertView&, int index) override { indices.push_back(index); }
};
}  // namespace

TEST(AlertView, HeadlessAlertsAreAnsweredOnTheNextTurnOfTheLoop) {
    test::HeadlessAlerts headless;
    Answers answers;
    auto alert = AlertView::create("Title", "Message", &answers, "Cancel", {"Post", "Later"});
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string>{"Cancel", "Post", "Later"}));
    alert->show();
    EXPECT_TRUE(alert->isVisible());
    EXPECT_TRUE(answers.indices.empty());  // show() never waits
    QCoreApplication::processEvents();
    EXPECT_EQ(answers.indices, std::vector<int>{0});

    AlertView::setHeadlessAnswerer(
        [](const AlertView& a) { return static_cast<int>(a.buttonTitles().size()) - 1; });
    AlertView::create("T", "M", &answers, "Cancel", {"Post", "Later"})
        ->show();  // no owner but itself
    QCoreApplication::processEvents();
    EXPECT_EQ(answers.indices, (std::vector<int>{0, 2}));
}

TEST(AlertView, AShownAlertSitsOverTheAppWindowAndSurvivesItsClosing) {
    const bool wasHeadless = AlertView::isHeadless();
    AlertView::setHeadless(false);
    Answers answers;
    auto window = std::make_unique<QWidget>();
    window->setGeometry(100, 100, 320, 568);
    window->show();
    QApplication::setActiveWindow(window.get());

    auto alert = AlertView::create("Title", "Message", &answers, "OK", {});
    alert->show();
    QMessageBox* box = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* candidate = qobject_cast<QMessageBox*>(widget);
            candidate && candidate->isVisible())
            box = candidate;
    }
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parentWidget(), window.get());

    // The window takes the box with it; the alert must not touch it again.
    window.reset();
    alert->clickButtonAtIndex(0);
    EXPECT_EQ(answers.indices, std::vector<int>{0});
    alert.reset();
    AlertView::setHeadless(wasHeadless);
}
