// Painters for the theme backgrounds. Each fills the whole square.

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "Art.h"
#include "Random.h"

namespace art {

namespace {

// Smooth noise: random grey cells enlarged with bilinear filtering.
QImage smoothNoise(int cells, int side, std::uint64_t seed) {
    Random random(seed);
    QImage small(cells, cells, QImage::Format_ARGB32);
    for (int y = 0; y < cells; ++y) {
        for (int x = 0; x < cells; ++x) {
            const int v = random.below(256);
            small.setPixel(x, y, qRgba(v, v, v, 255));
        }
    }
    return small.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void fillRotatedStripes(QPainter& p, int side, QColor stripe, int count, double angle) {
    p.save();
    p.translate(side / 2.0, side / 2.0);
    p.rotate(angle);
    const double span = side * 1.5;
    const double step = span * 2 / count;
    p.setPen(Qt::NoPen);
    p.setBrush(stripe);
    for (int i = 0; i < count; ++i) {
        p.drawRect(QRectF(-span + i * step, -span, step / 2, span * 2));
    }
    p.restore();
}

}  // namespace

Painter solid(QColor colour) {
    return [colour](QPainter& p, int side) { p.fillRect(0, 0, side, side, colour); };
}

Painter linearGradient(QColor top, QColor bottom, double angleDegrees) {
    return [=](QPainter& p, int side) {
        const double r = side / 2.0;
        const double a = angleDegrees * M_PI / 180.0;
        QLinearGradient g(r - r * std::sin(a), r - r * std::cos(a), r + r * std::sin(a),
                          r + r * std::cos(a));
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.fillRect(0, 0, side, side, g);
    };
}

Painter radialGradient(QColor centre, QColor edge) {
    return [=](QPainter& p, int side) {
        QRadialGradient g(side / 2.0, side / 2.0, side * 0.75);
        g.setColorAt(0, centre);
        g.setColorAt(1, edge);
        p.fillRect(0, 0, side, side, g);
    };
}

Painter nightSky() {
    return [](QPainter& p, int side) {
        linearGradient(QColor(12, 18, 48), QColor(72, 38, 110), 0)(p, side);
        Random random(7);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 220; ++i) {
            const double x = random.range(0, side);
            const double y = random.range(0, side);
            const double r = random.range(0.8, 3.2);
            p.setBrush(QColor(255, 255, 235, 120 + random.below(135)));
            p.drawEllipse(QPointF(x, y), r, r);
        }
    };
}

Painter stripes(QColor base, QColor stripe, int count, double angleDegrees) {
    return [=](QPainter& p, int side) {
        p.fillRect(0, 0, side, side, base);
        fillRotatedStripes(p, side, stripe, count, angleDegrees);
    };
}

Painter dots(QColor base, QColor dot, int perRow) {
    return [=](QPainter& p, int side) {
        p.fillRect(0, 0, side, side, base);
        const double step = double(side) / perRow;
        p.setPen(Qt::NoPen);
        p.setBrush(dot);
        for (int row = 0; row <= perRow; ++row) {
            for (int col = 0; col <= perRow; ++col) {
                const double x = (col + (row % 2 ? 0.0 : 0.5)) * step;
                p.drawEllipse(QPointF(x, (row + 0.5) * step), step * 0.2, step * 0.2);
            }
        }
    };
}

Painter gingham(QColor base, QColor check, int count) {
    return [=](QPainter& p, int side) {
        p.fillRect(0, 0, side, side, base);
        const double step = double(side) / count;
        QColor half = check;
        half.setAlpha(110);
        for (int i = 0; i < count; i += 2) {
            p.fillRect(QRectF(i * step, 0, step, side), half);
            p.fillRect(QRectF(0, i * step, side, step), half);
        }
    };
}

Painter chevrons(QColor base, QColor stripe, int count) {
    return [=](QPainter& p, int side) {
        p.fillRect(0, 0, side, side, base);
        const double step = double(side) / count;
        const double teeth = 8;
        const double w = side / teeth;
        p.setPen(Qt::NoPen);
        p.setBrush(stripe);
        for (int row = -1; row <= count; ++row) {
            QPainterPath band;
            const double y = row * step;
            band.moveTo(0, y);
            for (int t = 0; t < teeth; ++t) {
                band.lineTo((t + 0.5) * w, y + step * 0.5);
                band.lineTo((t + 1) * w, y);
            }
            band.lineTo(side, y + step * 0.35);
            for (int t = int(teeth) - 1; t >= 0; --t) {
                band.lineTo((t + 0.5) * w, y + step * 0.85);
                band.lineTo(t * w, y + step * 0.35);
            }
            band.closeSubpath();
            p.drawPath(band);
        }
    };
}

Painter grid(QColor base, QColor line, int count) {
    return [=](QPainter& p, int side) {
        p.fillRect(0, 0, side, side, base);
        p.setPen(QPen(line, side / 240.0));
        const double step = double(side) / count;
        for (int i = 0; i <= count; ++i) {
            p.drawLine(QPointF(i * step, 0), QPointF(i * step, side));
            p.drawLine(QPointF(0, i * step), QPointF(side, i * step));
        }
    };
}

Painter confetti(QColor base, std::uint64_t seed) {
    return [=](QPainter& p, int side) {
        p.fillRect(0, 0, side, side, base);
        Random random(seed);
        const QColor colours[] = {QColor(239, 71, 111), QColor(255, 209, 102), QColor(6, 214, 160),
                                  QColor(17, 138, 178), QColor(155, 93, 229)};
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 260; ++i) {
            p.save();
            p.translate(random.range(0, side), random.range(0, side));
            p.rotate(random.range(0, 180));
            p.setBrush(colours[random.below(5)]);
            const double w = random.range(side / 120.0, side / 50.0);
            if (random.below(2)) {
                p.drawRect(QRectF(-w, -w / 3, 2 * w, 2 * w / 3));
            } else {
                p.drawEllipse(QPointF(0, 0), w / 1.5, w / 1.5);
            }
            p.restore();
        }
    };
}

Painter paper(QColor base, double grain, std::uint64_t seed) {
    return [=](QPainter& p, int side) {
        p.fillRect(0, 0, side, side, base);
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_Overlay);
        p.setOpacity(grain);
        p.drawImage(0, 0, smoothNoise(24, side, seed));
        p.setOpacity(grain * 0.6);
        p.drawImage(0, 0, smoothNoise(120, side, seed + 1));
        p.restore();
    };
}

Painter linedNotebook() {
    return [](QPainter& p, int side) {
        paper(QColor(252, 250, 240), 0.12, 31)(p, side);
        const double step = side / 24.0;
        p.setPen(QPen(QColor(120, 160, 210, 170), side / 480.0));
        for (int i = 3; i < 24; ++i) p.drawLine(QPointF(0, i * step), QPointF(side, i * step));
        p.setPen(QPen(QColor(220, 80, 80, 190), side / 400.0));
        p.drawLine(QPointF(side * 0.12, 0), QPointF(side * 0.12, side));
    };
}

Painter graphPaper() {
    return [](QPainter& p, int side) {
        p.fillRect(0, 0, side, side, QColor(245, 250, 247));
        const double step = side / 48.0;
        for (int i = 0; i <= 48; ++i) {
            const bool major = i % 4 == 0;
            p.setPen(QPen(major ? QColor(90, 160, 130, 170) : QColor(90, 160, 130, 80),
                          side / (major ? 500.0 : 900.0)));
            p.drawLine(QPointF(i * step, 0), QPointF(i * step, side));
            p.drawLine(QPointF(0, i * step), QPointF(side, i * step));
        }
    };
}

Painter watercolour(QColor wash, std::uint64_t seed) {
    return [=](QPainter& p, int side) {
        paper(QColor(250, 248, 243), 0.1, seed)(p, side);
        Random random(seed);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 16; ++i) {
            // Washes gather along the edges, where a whole photo leaves room.
            const double along = random.range(0, side);
            const double across = random.range(0, side * 0.14);
            const int edge = i % 4;
            const QPointF c = edge == 0   ? QPointF(along, across)
                              : edge == 1 ? QPointF(along, side - across)
                              : edge == 2 ? QPointF(across, along)
                                          : QPointF(side - across, along);
            const double r = random.range(side * 0.12, side * 0.26);
            QColor inner = wash.toHsv();
            inner.setHsv((inner.hue() + random.below(40) + 340) % 360, inner.saturation(),
                         inner.value(), 70);
            QColor outer = inner;
            outer.setAlpha(0);
            QRadialGradient g(c, r);
            g.setColorAt(0, inner);
            g.setColorAt(0.7, inner);
            g.setColorAt(1, outer);
            p.setBrush(g);
            p.drawEllipse(c, r, r * random.range(0.6, 1.0));
        }
    };
}

Painter softFocus(std::uint64_t seed) {
    return [=](QPainter& p, int side) {
        // Deep enough for a white message to read on it.
        linearGradient(QColor(26, 50, 70), QColor(84, 40, 66), 30)(p, side);
        Random random(seed);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 14; ++i) {
            const QPointF c(random.range(0, side), random.range(0, side));
            const double r = random.range(side * 0.15, side * 0.4);
            QColor inner;
            inner.setHsv(random.below(360), 110 + random.below(60), 130 + random.below(50), 80);
            QColor outer = inner;
            outer.setAlpha(0);
            QRadialGradient g(c, r);
            g.setColorAt(0, inner);
            g.setColorAt(1, outer);
            p.setBrush(g);
            p.drawEllipse(c, r, r);
        }
    };
}

Painter inResultUnits(std::function<void(QPainter&)> draw) {
    return [draw = std::move(draw)](QPainter& p, int side) {
        p.save();
        p.scale(side / kUnits, side / kUnits);
        draw(p);
        p.restore();
    };
}

Painter withCaptionStrip(Painter pattern, QColor strip, QColor trim) {
    return [=](QPainter& p, int side) {
        pattern(p, side);
        inResultUnits([=](QPainter& q) {
            // From just under a 4:3 landscape to the bottom edge; the trim
            // stays clear of the message box below it.
            const double top = kUnits - kBand4x3 - 6;
            q.fillRect(QRectF(0, top, kUnits, kUnits - top), strip);
            q.fillRect(QRectF(0, top, kUnits, 2.5), trim);
            q.fillRect(QRectF(0, top + 5, kUnits, 1), trim);
        })(p, side);
    };
}

}  // namespace art
