// Bottom images, thumbnails, the theme-of-the-day fallback, the interface
// images and the demo photo.

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "Art.h"

namespace art {

namespace {

void beginPainter(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// A flat little landscape filling `r`.
void drawLandscape(QPainter& p, const QRectF& r) {
    p.fillRect(r, QColor(178, 214, 240));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 102));
    const double u = std::min(r.width(), r.height());
    p.drawEllipse(QPointF(r.left() + r.width() * 0.75, r.top() + r.height() * 0.28), u * 0.09,
                  u * 0.09);
    QPainterPath far;
    far.moveTo(r.left(), r.bottom() - r.height() * 0.3);
    far.lineTo(r.left() + r.width() * 0.3, r.top() + r.height() * 0.4);
    far.lineTo(r.left() + r.width() * 0.55, r.bottom() - r.height() * 0.32);
    far.lineTo(r.left() + r.width() * 0.8, r.top() + r.height() * 0.5);
    far.lineTo(r.right(), r.bottom() - r.height() * 0.35);
    far.lineTo(r.right(), r.bottom());
    far.lineTo(r.left(), r.bottom());
    far.closeSubpath();
    p.setBrush(QColor(120, 150, 190));
    p.drawPath(far);
    p.setBrush(QColor(120, 180, 110));
    p.drawRect(QRectF(r.left(), r.bottom() - r.height() * 0.22, r.width(), r.height() * 0.22));
}

QImage transparentSquare(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

QImage drawTheme(const Painter& paint, int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    beginPainter(p);
    paint(p, side);
    return image;
}

QImage drawBottom(const BottomArt& bottom) {
    const int side = kArtSide;
    QImage image = transparentSquare(side);
    QPainter p(&image);
    beginPainter(p);
    // The placeholder lands where a photo of its shape lands at the fit
    // (longer side spanning the square), so the empty slot previews the
    // layout: the theme's margins and its message band stay in view.
    const double w = bottom.aspect >= 1 ? side : side * bottom.aspect;
    const double h = bottom.aspect >= 1 ? side / bottom.aspect : side;
    const QRectF print((side - w) / 2, (side - h) / 2, w, h);
    drawLandscape(p, print);
    p.fillRect(print, QColor(255, 255, 255, 70));
    // The "add a photo" sign in the middle.
    const QPointF c = print.center();
    const double r = side * 0.06;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(QColor(70, 90, 120), r * 0.18, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - r * 0.5, c.y()), QPointF(c.x() + r * 0.5, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - r * 0.5), QPointF(c.x(), c.y() + r * 0.5));
    return image;
}

QImage drawThumb(const QImage& background, const QImage& bottom) {
    QImage thumb(kThumbSide, kThumbSide, QImage::Format_RGB32);
    QPainter p(&thumb);
    beginPainter(p);
    const QRectF all(0, 0, kThumbSide, kThumbSide);
    p.drawImage(all, background);
    // The placeholder a little smaller than at the fit, so that a button a
    // few millimetres wide still shows the art on every side.
    constexpr double kPlaceholderScale = 0.78;
    const double inset = kThumbSide * (1 - kPlaceholderScale) / 2;
    if (!bottom.isNull()) p.drawImage(all.adjusted(inset, inset, -inset, -inset), bottom);
    p.setPen(QPen(QColor(0, 0, 0, 60), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(1, 1, -1, -1));
    return thumb;
}

QImage drawCOTD(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    QPainter p(&image);
    beginPainter(p);
    p.fillRect(0, 0, side, side, QColor(255, 196, 61));
    const QPointF c(side / 2.0, side / 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 150, 50));
    const int rays = 24;
    for (int i = 0; i < rays; i += 2) {
        const double a0 = 2 * M_PI * i / rays;
        const double a1 = 2 * M_PI * (i + 1) / rays;
        QPainterPath ray;
        ray.moveTo(c);
        ray.lineTo(c.x() + side * std::cos(a0), c.y() + side * std::sin(a0));
        ray.lineTo(c.x() + side * std::cos(a1), c.y() + side * std::sin(a1));
        ray.closeSubpath();
        p.drawPath(ray);
    }
    QRadialGradient glow(c, side * 0.7);
    glow.setColorAt(0, QColor(255, 255, 255, 120));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(0, 0, side, side, glow);
    // Stars in the corners, which no whole photo covers; the rays fill
    // whatever margin the photo leaves.
    p.setBrush(Qt::white);
    const double inset = side * 0.075;
    for (const QPointF& at : {QPointF(inset, inset), QPointF(side - inset, inset),
                              QPointF(inset, side - inset), QPointF(side - inset, side - inset)}) {
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const double a = -M_PI / 2 + M_PI * i / 5;
            const double r = (i % 2 ? 0.022 : 0.055) * side;
            const QPointF q(at.x() + r * std::cos(a), at.y() + r * std::sin(a));
            if (i == 0) {
                star.moveTo(q);
            } else {
                star.lineTo(q);
            }
        }
        star.closeSubpath();
        p.drawPath(star);
    }
    return image;
}

QImage drawSamplePhoto() {
    const int w = 1200;
    const int h = 1600;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    beginPainter(p);
    QLinearGradient sky(0, 0, 0, h * 0.6);
    sky.setColorAt(0, QColor(60, 120, 210));
    sky.setColorAt(1, QColor(190, 220, 245));
    p.fillRect(0, 0, w, h, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 150));
    p.drawEllipse(QPointF(w * 0.72, h * 0.18), w * 0.08, w * 0.08);
    QPainterPath hills;
    hills.moveTo(0, h * 0.62);
    hills.cubicTo(w * 0.3, h * 0.5, w * 0.6, h * 0.7, w, h * 0.56);
    hills.lineTo(w, h);
    hills.lineTo(0, h);
    hills.closeSubpath();
    p.setBrush(QColor(70, 150, 70));
    p.drawPath(hills);
    p.fillRect(QRectF(w * 0.28, h * 0.52, w * 0.04, h * 0.14), QColor(100, 70, 40));
    p.setBrush(QColor(40, 110, 50));
    p.drawEllipse(QPointF(w * 0.3, h * 0.5), w * 0.1, w * 0.1);
    // A red balloon near the top shows which way is up.
    p.setBrush(QColor(220, 40, 40));
    p.drawEllipse(QPointF(w * 0.25, h * 0.14), w * 0.06, w * 0.075);
    p.setPen(QPen(QColor(60, 60, 60), 3));
    p.drawLine(QPointF(w * 0.25, h * 0.14 + w * 0.075), QPointF(w * 0.27, h * 0.3));
    return image;
}

std::vector<std::pair<std::string, QImage>> interfaceImages() {
    std::vector<std::pair<std::string, QImage>> images;

    QImage bar(34, 12, QImage::Format_ARGB32_Premultiplied);
    bar.fill(Qt::transparent);
    {
        QPainter p(&bar);
        beginPainter(p);
        p.setPen(QPen(QColor(120, 120, 120, 200), 1));
        p.setBrush(QColor(255, 255, 255, 210));
        p.drawRoundedRect(QRectF(0.5, 1.5, 33, 9), 4.5, 4.5);
    }
    images.emplace_back("sliderbar.png", bar);

    QImage knob(46, 46, QImage::Format_ARGB32_Premultiplied);
    knob.fill(Qt::transparent);
    {
        QPainter p(&knob);
        beginPainter(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 50));
        p.drawEllipse(QPointF(23, 24.5), 19, 19);
        QRadialGradient g(QPointF(20, 19), 20);
        g.setColorAt(0, QColor(255, 255, 255));
        g.setColorAt(1, QColor(214, 214, 220));
        p.setBrush(g);
        p.setPen(QPen(QColor(140, 140, 150), 1.2));
        p.drawEllipse(QPointF(23, 23), 18, 18);
    }
    images.emplace_back("sliderThumb.png", knob);

    const auto indicator = [](QColor colour) {
        QImage image(64, 10, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        beginPainter(p);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(2, 2, 60, 6), 3, 3);
        return image;
    };
    // Gold, the colour of everything selected in the app's style.
    images.emplace_back("category_selected.png", indicator(QColor(224, 170, 66)));
    images.emplace_back("category_notselected.png", indicator(QColor(160, 160, 160, 90)));
    return images;
}

}  // namespace art
