// Keepsake themes: frames and mounts redrawn for a whole photo. A fitted
// photo always covers the middle and spans the square one way, so nothing
// here is a closed frame around the photo; the decoration sits at the
// corners (free with every landscape and portrait) and along the edges
// (each pair shows with one orientation), and what lies under the middle is
// plain and meant to be covered. All drawing is in result units.

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "Art.h"
#include "Random.h"

namespace art {

namespace {

constexpr double kCentre = kUnits / 2;

// Runs `draw` once per corner, mirrored so that (0, 0) is that corner and
// positive x and y point into the square.
void atEachCorner(QPainter& p, const std::function<void(QPainter&)>& draw) {
    for (int corner = 0; corner < 4; ++corner) {
        p.save();
        p.translate(corner % 2 ? kUnits : 0, corner / 2 ? kUnits : 0);
        p.scale(corner % 2 ? -1 : 1, corner / 2 ? -1 : 1);
        draw(p);
        p.restore();
    }
}

// Runs `draw` at the middle of each edge, turned so that (0, 0) is on the
// edge and positive y points into the square.
void atEachEdgeMiddle(QPainter& p, const std::function<void(QPainter&)>& draw) {
    for (int edge = 0; edge < 4; ++edge) {
        p.save();
        p.translate(kCentre, kCentre);
        p.rotate(90.0 * edge);
        p.translate(0, -kCentre);
        draw(p);
        p.restore();
    }
}

void fillNoise(QPainter& p, QColor base, double grain, std::uint64_t seed) {
    p.save();
    p.scale(kUnits / kArtSide, kUnits / kArtSide);
    paper(base, grain, seed)(p, kArtSide);
    p.restore();
}

}  // namespace

Painter goldCorners() {
    return inResultUnits([](QPainter& p) {
        QRadialGradient mat(kCentre, kCentre, kUnits * 0.72);
        mat.setColorAt(0, QColor(30, 74, 62));
        mat.setColorAt(1, QColor(14, 42, 35));
        p.fillRect(QRectF(0, 0, kUnits, kUnits), mat);

        QLinearGradient gold(0, 0, 70, 70);
        gold.setColorAt(0, QColor(246, 214, 120));
        gold.setColorAt(0.5, QColor(212, 168, 62));
        gold.setColorAt(1, QColor(168, 124, 36));
        const QPen line(QBrush(gold), 2.2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        const QPen thin(QBrush(gold), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        atEachCorner(p, [&](QPainter& q) {
            // Two nested brackets, a quarter fan and a diamond at the tip,
            // all inside the 76-unit corner a 4:3 photo leaves free.
            q.setBrush(Qt::NoBrush);
            q.setPen(line);
            QPainterPath outer;
            outer.moveTo(14, 72);
            outer.lineTo(14, 14);
            outer.lineTo(72, 14);
            q.drawPath(outer);
            q.setPen(thin);
            QPainterPath inner;
            inner.moveTo(21, 58);
            inner.lineTo(21, 21);
            inner.lineTo(58, 21);
            q.drawPath(inner);
            for (int ray = 0; ray < 5; ++ray) {
                const double a = (ray + 0.5) * M_PI / 10;
                q.drawLine(QPointF(24, 24), QPointF(24 + 26 * std::cos(a), 24 + 26 * std::sin(a)));
            }
            // A quarter arc from the right round to the bottom, into the square.
            q.drawArc(QRectF(24 - 26, 24 - 26, 52, 52), 0, -90 * 16);
            q.setPen(Qt::NoPen);
            q.setBrush(gold);
            QPainterPath diamond;
            diamond.moveTo(8, 0);
            diamond.lineTo(16, 8);
            diamond.lineTo(8, 16);
            diamond.lineTo(0, 8);
            diamond.closeSubpath();
            q.drawPath(diamond.translated(6, 6));
            q.drawEllipse(QPointF(72, 14), 2.6, 2.6);
            q.drawEllipse(QPointF(14, 72), 2.6, 2.6);
        });
        atEachEdgeMiddle(p, [&](QPainter& q) {
            // A small crest mid-edge: shown above and below a landscape,
            // beside a portrait, covered by the other.
            q.setPen(thin);
            q.setBrush(Qt::NoBrush);
            q.drawLine(QPointF(-120, 14), QPointF(-22, 14));
            q.drawLine(QPointF(22, 14), QPointF(120, 14));
            q.setPen(Qt::NoPen);
            q.setBrush(gold);
            QPainterPath crest;
            crest.moveTo(0, 6);
            crest.lineTo(12, 14);
            crest.lineTo(0, 22);
            crest.lineTo(-12, 14);
            crest.closeSubpath();
            q.drawPath(crest);
        });
    });
}

Painter woodTable() {
    return inResultUnits([](QPainter& p) {
        // Five boards running across, each with its own tone and grain.
        Random random(43);
        const int boards = 5;
        const double h = kUnits / boards;
        for (int b = 0; b < boards; ++b) {
            const QRectF board(0, b * h, kUnits, h);
            const int shift = random.below(24) - 12;
            p.fillRect(board, QColor(128 + shift, 84 + shift / 2, 50 + shift / 3));
            p.save();
            p.setClipRect(board);
            for (int i = 0; i < 26; ++i) {
                p.setPen(QPen(QColor(72, 42, 20, 40 + random.below(70)), random.range(0.4, 1.6)));
                const double y = board.top() + random.range(0, h);
                QPainterPath grain;
                grain.moveTo(-10, y);
                grain.cubicTo(kUnits * 0.3, y + random.range(-9, 9), kUnits * 0.7,
                              y + random.range(-9, 9), kUnits + 10, y + random.range(-5, 5));
                p.drawPath(grain);
            }
            // A knot now and then.
            if (random.below(2)) {
                const QPointF knot(random.range(40, kUnits - 40), board.center().y());
                p.setBrush(Qt::NoBrush);
                for (int ring = 1; ring <= 4; ++ring) {
                    p.setPen(QPen(QColor(70, 40, 18, 110 - ring * 18), 1.1));
                    p.drawEllipse(knot, 4.0 * ring * 1.8, 2.2 * ring);
                }
            }
            p.restore();
            p.fillRect(QRectF(0, board.bottom() - 1.5, kUnits, 1.5), QColor(52, 30, 14, 200));
            p.fillRect(QRectF(0, board.top(), kUnits, 1), QColor(255, 220, 170, 40));
        }
        // Soft light in the middle, darker towards the edges.
        QRadialGradient light(kCentre, kCentre, kUnits * 0.75);
        light.setColorAt(0, QColor(255, 230, 190, 40));
        light.setColorAt(1, QColor(20, 10, 0, 70));
        p.fillRect(QRectF(0, 0, kUnits, kUnits), light);
    });
}

Painter printStack() {
    return inResultUnits([](QPainter& p) {
        // A slate table, two earlier prints askew under the top one, whose
        // cream border carries the caption.
        p.fillRect(QRectF(0, 0, kUnits, kUnits), QColor(44, 50, 58));
        const double card = kUnits - 30;
        const QRectF cardRect(-card / 2, -card / 2, card, card);
        for (const auto& [angle, tone] : {std::pair{-5.5, 236}, std::pair{3.5, 246}}) {
            p.save();
            p.translate(kCentre, kCentre);
            p.rotate(angle);
            p.fillRect(cardRect.translated(2, 4), QColor(0, 0, 0, 70));
            p.fillRect(cardRect, QColor(tone, tone, tone - 6));
            p.fillRect(cardRect.adjusted(18, 18, -18, -70), QColor(70, 76, 84));
            p.restore();
        }
        const QRectF top(20, 20, kUnits - 40, kUnits - 40);
        p.fillRect(top.translated(1.5, 3), QColor(0, 0, 0, 90));
        p.save();
        p.translate(top.topLeft());
        p.scale(top.width() / kUnits, top.height() / kUnits);
        fillNoise(p, QColor(250, 248, 240), 0.08, 51);
        p.restore();
        p.setPen(QPen(QColor(214, 210, 198), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(top);
    });
}

Painter filmStrip() {
    return inResultUnits([](QPainter& p) {
        // 35 mm film is 3:2: a landscape fills the frame between the rails.
        p.fillRect(QRectF(0, 0, kUnits, kUnits), QColor(18, 17, 16));
        p.fillRect(QRectF(0, 30, kUnits, kUnits - 60), QColor(34, 31, 28));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(232, 226, 212));
        const int holes = 18;
        const double pitch = kUnits / holes;
        for (int i = 0; i < holes; ++i) {
            const double x = (i + 0.3) * pitch;
            p.drawRoundedRect(QRectF(x, 7, pitch * 0.45, 15), 2.5, 2.5);
            p.drawRoundedRect(QRectF(x, kUnits - 22, pitch * 0.45, 15), 2.5, 2.5);
        }
        // Edge print on the upper rebate, between the holes and the frame
        // (the lower one carries the message).
        QFont font("DejaVu Sans Mono");
        font.setPixelSize(9);
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(255, 150, 40, 220));
        p.drawText(QPointF(30, 44), "24");
        p.drawText(QPointF(kUnits * 0.5 - 12, 44), "24A");
        p.drawText(QPointF(kUnits - 60, 44), QString::fromUtf8("\u25B6 25"));
        // The frame line between exposures, in the margins a portrait leaves.
        p.setPen(QPen(QColor(60, 56, 50), 2));
        p.drawLine(QPointF(40, 30), QPointF(40, kUnits - 30));
        p.drawLine(QPointF(kUnits - 40, 30), QPointF(kUnits - 40, kUnits - 30));
    });
}

Painter airmail() {
    return inResultUnits([](QPainter& p) {
        fillNoise(p, QColor(250, 246, 234), 0.1, 61);
        // The striped border, along all four edges.
        const double w = 14;
        QPainterPath border;
        border.addRect(QRectF(0, 0, kUnits, kUnits));
        border.addRect(QRectF(w, w, kUnits - 2 * w, kUnits - 2 * w));
        p.save();
        p.setClipPath(border);
        p.setPen(Qt::NoPen);
        const QColor red(196, 42, 52);
        const QColor blue(34, 62, 140);
        const double step = 22;
        for (int i = -2; i * step < kUnits * 2; ++i) {
            QPainterPath band;
            const double x = i * step;
            band.moveTo(x, 0);
            band.lineTo(x + step * 0.55, 0);
            band.lineTo(x + step * 0.55 - kUnits, kUnits);
            band.lineTo(x - kUnits, kUnits);
            band.closeSubpath();
            p.setBrush(i % 2 ? red : blue);
            p.drawPath(band);
        }
        p.restore();

        // The stamp in the top right corner, above any landscape.
        // Stamp and postmark stay above a 4:3 landscape (76.5 units).
        const QRectF stamp(kUnits - 80, 18, 46, 52);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 40));
        p.drawRect(stamp.translated(1.5, 2));
        p.setBrush(QColor(255, 253, 246));
        p.drawRect(stamp);
        p.setBrush(QColor(250, 246, 234));
        for (double x = stamp.left(); x <= stamp.right() + 0.1; x += stamp.width() / 9) {
            p.drawEllipse(QPointF(x, stamp.top()), 2.2, 2.2);
            p.drawEllipse(QPointF(x, stamp.bottom()), 2.2, 2.2);
        }
        for (double y = stamp.top(); y <= stamp.bottom() + 0.1; y += stamp.height() / 10) {
            p.drawEllipse(QPointF(stamp.left(), y), 2.2, 2.2);
            p.drawEllipse(QPointF(stamp.right(), y), 2.2, 2.2);
        }
        const QRectF picture = stamp.adjusted(6, 6, -6, -6);
        p.fillRect(picture, QColor(120, 170, 210));
        p.setBrush(QColor(252, 200, 80));
        p.drawEllipse(QPointF(picture.right() - 10, picture.top() + 11), 6, 6);
        QPainterPath hills;
        hills.moveTo(picture.left(), picture.bottom() - 12);
        hills.lineTo(picture.left() + 14, picture.top() + 22);
        hills.lineTo(picture.left() + 26, picture.bottom() - 16);
        hills.lineTo(picture.left() + 34, picture.top() + 28);
        hills.lineTo(picture.right(), picture.bottom() - 10);
        hills.lineTo(picture.right(), picture.bottom());
        hills.lineTo(picture.left(), picture.bottom());
        hills.closeSubpath();
        p.setBrush(QColor(34, 62, 140));
        p.drawPath(hills);

        // The postmark over the stamp's edge, and the wavy cancel lines.
        const QColor ink(40, 40, 52, 170);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ink, 1.4));
        const QPointF mark(stamp.left() - 6, stamp.center().y() + 2);
        p.drawEllipse(mark, 21, 21);
        p.drawEllipse(mark, 15, 15);
        for (int line = 0; line < 4; ++line) {
            QPainterPath wave;
            const double y = mark.y() - 11 + line * 7;
            wave.moveTo(mark.x() - 110, y);
            for (int k = 0; k < 6; ++k) {
                const double x = mark.x() - 110 + k * 16;
                wave.quadTo(x + 4, y - 4, x + 8, y);
                wave.quadTo(x + 12, y + 4, x + 16, y);
            }
            p.drawPath(wave);
        }
        // "By air mail" in the top left corner.
        QFont font("DejaVu Serif");
        font.setPixelSize(13);
        font.setBold(true);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
        p.setFont(font);
        p.setPen(blue);
        p.drawText(QPointF(34, 44), "BY AIR MAIL");
        p.setPen(QPen(blue, 1));
        p.drawLine(QPointF(34, 51), QPointF(146, 51));
    });
}

Painter stageLight() {
    return inResultUnits([](QPainter& p) {
        // A dark stage between red curtains; a warm spotlight pools behind
        // the photo and spills into every margin it leaves.
        p.fillRect(QRectF(0, 0, kUnits, kUnits), QColor(16, 12, 22));
        QRadialGradient spot(kCentre, kCentre * 0.9, kUnits * 0.62);
        spot.setColorAt(0, QColor(255, 214, 150, 200));
        spot.setColorAt(0.45, QColor(190, 110, 70, 120));
        spot.setColorAt(1, QColor(40, 14, 40, 0));
        p.fillRect(QRectF(0, 0, kUnits, kUnits), spot);
        // Curtain folds at the sides.
        for (int side = 0; side < 2; ++side) {
            for (int fold = 0; fold < 4; ++fold) {
                const double x = side ? kUnits - 16 - fold * 20 : fold * 20;
                QLinearGradient g(x, 0, x + 16, 0);
                g.setColorAt(0, QColor(90, 10, 24, 150));
                g.setColorAt(0.5, QColor(150, 26, 40, 150));
                g.setColorAt(1, QColor(70, 6, 18, 150));
                p.fillRect(QRectF(x, 0, 16, kUnits), g);
            }
        }
        // The curtain's pelmet along the top, in scallops.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 16, 32));
        p.drawRect(QRectF(0, 0, kUnits, 18));
        for (int i = 0; i < 12; ++i) {
            p.drawEllipse(QPointF((i + 0.5) * kUnits / 12, 18), kUnits / 24, 9);
        }
        p.setBrush(QColor(212, 168, 62));
        p.drawRect(QRectF(0, 17, kUnits, 1.5));
    });
}

}  // namespace art
