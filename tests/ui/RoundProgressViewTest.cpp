#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "ui/RoundProgressView.h"

using namespace qp;

namespace {

QImage render(RoundProgressView& view) {
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

}  // namespace

TEST(RoundProgressView, StartsAt37PointsClearAndEmpty) {
    RoundProgressView view;
    EXPECT_EQ(view.size(), QSize(37, 37));
    EXPECT_EQ(view.progress(), 0.0f);
    const QImage image = render(view);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);  // outside the circle
    // Inside: the faint disc only (white at alpha 0.1).
    EXPECT_NEAR(qAlpha(image.pixel(25, 12)), 26, 3);
}

TEST(RoundProgressView, QuarterFillsFromTwelveToThreeOClock) {
    RoundProgressView view;
    view.setProgress(0.25f);
    const QImage image = render(view);
    auto alphaAt = [&](int x, int y) { return qAlpha(image.pixel(x, y)); };
    // Upper-right quadrant: solid white.
    EXPECT_EQ(alphaAt(25, 12), 255);
    EXPECT_EQ(qRed(image.pixel(25, 12)), 255);
    // The other three quadrants keep the faint disc.
    EXPECT_NEAR(alphaAt(12, 12), 26, 3);
    EXPECT_NEAR(alphaAt(12, 25), 26, 3);
    EXPECT_NEAR(alphaAt(25, 25), 26, 3);
    // The rim is drawn all round.
    EXPECT_GT(alphaAt(18, 2), 200);
    EXPECT_GT(alphaAt(18, 34), 200);
}

TEST(RoundProgressView, FullProgressFillsTheDisc) {
    RoundProgressView view;
    view.setProgress(1.0f);
    const QImage image = render(view);
    for (QPoint p : {QPoint(12, 12), QPoint(25, 25), QPoint(12, 25), QPoint(25, 12)}) {
        EXPECT_EQ(qAlpha(image.pixel(p)), 255) << p.x() << "," << p.y();
    }
}
