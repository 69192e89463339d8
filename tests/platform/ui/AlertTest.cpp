#include <gtest/gtest.h>

#include <QCoreApplication>

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
