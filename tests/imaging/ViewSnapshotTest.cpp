#include <gtest/gtest.h>

#include <QWidget>

#include "imaging/ViewSnapshot.h"

namespace qp {
namespace {

// A 20 × 10 red widget whose right half is a blue child.
struct TwoColourView {
    QWidget view;
    QWidget* child = new QWidget(&view);
    TwoColourView() {
        view.resize(20, 10);
        view.setAutoFillBackground(true);
        view.setPalette(QPalette(Qt::red));
        view.setStyleSheet("background: red");
        child->setGeometry(10, 0, 10, 10);
        child->setStyleSheet("background: blue");
        child->setAutoFillBackground(true);
    }
};

TEST(SnapshotOfView, BoundsRectAndScale) {
    TwoColourView v;
    const auto whole = snapshotOfView(v.view);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->width(), 20);
    EXPECT_EQ(whole->height(), 10);
    EXPECT_EQ(whole->bitmap().pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(whole->bitmap().pixel(15, 5), qRgb(0, 0, 255));

    const auto doubled = snapshotOfView(v.view, 2.0);
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->width(), 40);
    EXPECT_EQ(doubled->bitmap().pixel(35, 15), qRgb(0, 0, 255));
    EXPECT_EQ(doubled->scale(), 1.0);

    const auto right = snapshotOfView(v.view, Rect(10, 0, 10, 10));
    ASSERT_TRUE(right);
    EXPECT_EQ(right->width(), 10);
    EXPECT_EQ(right->bitmap().pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_FALSE(snapshotOfView(v.view, Rect(0, 0, 0, 10)));
    EXPECT_FALSE(snapshotOfView(v.view, 0.0));
}

}  // namespace
}  // namespace qp
