// Sample photos for the contact sheet: one of each shape a whole-photo fit
// treats differently, and each hard on the message in its own way (dark,
// pale, busy).

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "Art.h"
#include "Random.h"

namespace art {

namespace {

QImage canvas(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

void smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// Dusk over a lake: a dark sky, a glow on the horizon, black hills, and the
// glow again on the water.
QImage duskLake() {
    const int w = 1800;
    const int h = 1200;
    QImage image = canvas(w, h);
    QPainter p(&image);
    smooth(p);
    const double horizon = h * 0.58;
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(14, 18, 48));
    sky.setColorAt(0.65, QColor(70, 40, 90));
    sky.setColorAt(1, QColor(236, 120, 70));
    p.fillRect(QRectF(0, 0, w, horizon), sky);
    Random random(101);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 120; ++i) {
        p.setBrush(QColor(255, 250, 230, 80 + random.below(160)));
        const double r = random.range(1, 3);
        p.drawEllipse(QPointF(random.range(0, w), random.range(0, horizon * 0.5)), r, r);
    }
    QPainterPath hills;
    hills.moveTo(0, horizon);
    hills.cubicTo(w * 0.2, horizon - h * 0.16, w * 0.35, horizon - h * 0.05, w * 0.5,
                  horizon - h * 0.1);
    hills.cubicTo(w * 0.7, horizon - h * 0.2, w * 0.85, horizon - h * 0.04, w, horizon - h * 0.08);
    hills.lineTo(w, horizon);
    hills.closeSubpath();
    p.setBrush(QColor(12, 10, 20));
    p.drawPath(hills);
    QLinearGradient water(0, horizon, 0, h);
    water.setColorAt(0, QColor(150, 80, 60));
    water.setColorAt(0.3, QColor(40, 30, 60));
    water.setColorAt(1, QColor(8, 10, 24));
    p.fillRect(QRectF(0, horizon, w, h - horizon), water);
    for (int i = 0; i < 40; ++i) {
        const double y = horizon + std::pow(random.unit(), 1.6) * (h - horizon);
        const double half = random.range(20, 160);
        p.fillRect(QRectF(w * 0.5 - half + random.range(-80, 80), y, 2 * half, 3),
                   QColor(255, 170, 90, 90));
    }
    // A jetty and a figure on it.
    p.fillRect(QRectF(w * 0.15, h * 0.8, w * 0.3, 14), QColor(6, 6, 10));
    for (int post = 0; post < 5; ++post) {
        p.fillRect(QRectF(w * 0.16 + post * w * 0.07, h * 0.8, 8, 60), QColor(6, 6, 10));
    }
    p.setBrush(QColor(6, 6, 10));
    p.drawEllipse(QPointF(w * 0.38, h * 0.8 - 96), 14, 14);
    p.drawRoundedRect(QRectF(w * 0.38 - 16, h * 0.8 - 82, 32, 82), 10, 10);
    return image;
}

// A pale beach: washed-out sky, a white lighthouse, light sand.
QImage paleBeach() {
    const int w = 1200;
    const int h = 1800;
    QImage image = canvas(w, h);
    QPainter p(&image);
    smooth(p);
    const double sea = h * 0.52;
    QLinearGradient sky(0, 0, 0, sea);
    sky.setColorAt(0, QColor(200, 224, 240));
    sky.setColorAt(1, QColor(244, 248, 250));
    p.fillRect(QRectF(0, 0, w, sea), sky);
    p.setPen(Qt::NoPen);
    Random random(202);
    for (int i = 0; i < 7; ++i) {
        const QPointF c(random.range(0, w), random.range(h * 0.05, h * 0.35));
        for (int puff = 0; puff < 5; ++puff) {
            p.setBrush(QColor(255, 255, 255, 200));
            p.drawEllipse(c + QPointF(puff * 40 - 80, random.range(-15, 15)), 70, 40);
        }
    }
    p.fillRect(QRectF(0, sea, w, h * 0.1), QColor(150, 200, 214));
    QLinearGradient sand(0, sea + h * 0.1, 0, h);
    sand.setColorAt(0, QColor(246, 236, 212));
    sand.setColorAt(1, QColor(232, 216, 184));
    p.fillRect(QRectF(0, sea + h * 0.1, w, h), sand);
    // The lighthouse on the right.
    const double base = sea + h * 0.06;
    QPainterPath tower;
    tower.moveTo(w * 0.66, base);
    tower.lineTo(w * 0.70, h * 0.2);
    tower.lineTo(w * 0.78, h * 0.2);
    tower.lineTo(w * 0.82, base);
    tower.closeSubpath();
    p.setBrush(QColor(252, 252, 250));
    p.drawPath(tower);
    p.setBrush(QColor(220, 90, 80));
    for (int band = 0; band < 3; ++band) {
        const double y = h * 0.26 + band * h * 0.09;
        p.drawRect(QRectF(w * 0.69 - band * w * 0.01, y, w * 0.1 + band * w * 0.02, h * 0.03));
    }
    p.setBrush(QColor(90, 100, 110));
    p.drawRect(QRectF(w * 0.69, h * 0.16, w * 0.1, h * 0.04));
    p.drawEllipse(QPointF(w * 0.74, h * 0.155), w * 0.05, h * 0.015);
    // Footprints in the sand.
    p.setBrush(QColor(214, 196, 160));
    for (int step = 0; step < 12; ++step) {
        const double y = h * 0.98 - step * h * 0.03;
        const double x = w * 0.3 + step * w * 0.02 + (step % 2 ? 24 : -24);
        p.drawEllipse(QPointF(x, y), 12, 20);
    }
    return image;
}

// A flower stall seen from above: many colours and edges everywhere.
QImage flowerStall() {
    const int side = 1200;
    QImage image = canvas(side, side);
    QPainter p(&image);
    smooth(p);
    p.fillRect(QRectF(0, 0, side, side), QColor(46, 90, 50));
    Random random(303);
    const QColor petals[] = {QColor(240, 60, 90),  QColor(255, 200, 40), QColor(250, 250, 245),
                             QColor(150, 70, 200), QColor(255, 130, 40), QColor(30, 30, 40)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 900; ++i) {
        p.setBrush(QColor(30 + random.below(60), 90 + random.below(90), 40 + random.below(40)));
        p.save();
        p.translate(random.range(0, side), random.range(0, side));
        p.rotate(random.range(0, 180));
        p.drawEllipse(QPointF(0, 0), random.range(8, 26), random.range(3, 8));
        p.restore();
    }
    for (int i = 0; i < 420; ++i) {
        const QPointF c(random.range(0, side), random.range(0, side));
        const QColor colour = petals[random.below(6)];
        const double r = random.range(10, 34);
        p.setBrush(colour);
        for (int k = 0; k < 6; ++k) {
            const double a = k * M_PI / 3;
            p.drawEllipse(c + QPointF(std::cos(a) * r * 0.6, std::sin(a) * r * 0.6), r * 0.45,
                          r * 0.45);
        }
        p.setBrush(colour.darker(170));
        p.drawEllipse(c, r * 0.28, r * 0.28);
    }
    return image;
}

}  // namespace

std::vector<SamplePhoto> samplePhotos() {
    return {{"landscape.jpg", duskLake()},
            {"portrait.jpg", paleBeach()},
            {"square.jpg", flowerStall()}};
}

}  // namespace art
