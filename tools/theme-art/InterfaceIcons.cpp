// The interface's icon set: line drawings for the editor's toolbar, the
// start screen and the share sheet's destinations, and the start screen's
// sample composition. Every icon is drawn on a 24-unit grid, stroked in one
// colour, so the set reads as one family at any size.

#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "Art.h"

namespace art {

namespace {

// The ink of every icon: the style's light text colour, so icons and labels
// match on the dark surfaces of the screens.
const QColor kIconInk(250, 244, 228);
constexpr double kGrid = 24;
constexpr double kStroke = 1.9;

using IconDrawing = void (*)(QPainter&);

QPen inkPen(double width = kStroke) {
    QPen pen(kIconInk, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QImage drawOnGrid(IconDrawing draw, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / kGrid, side / kGrid);
    p.setPen(inkPen());
    p.setBrush(Qt::NoBrush);
    draw(p);
    return image;
}

void fillDot(QPainter& p, QPointF centre, double radius) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kIconInk);
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

// A curved arrow turning left (undo) or, mirrored, right (redo).
void turningArrow(QPainter& p, bool right) {
    if (right) {
        p.translate(kGrid, 0);
        p.scale(-1, 1);
    }
    QPainterPath path;
    path.moveTo(5, 10);
    path.lineTo(15, 10);
    path.cubicTo(23, 10, 23, 20, 15, 20);
    path.lineTo(9, 20);
    p.drawPath(path);
    p.drawPolyline(QPolygonF({{9, 6}, {5, 10}, {9, 14}}));
}

void speechBubble(QPainter& p, const QRectF& body, QPointF tail) {
    QPainterPath path;
    path.addRoundedRect(body, 3.5, 3.5);
    QPainterPath pointer;
    pointer.moveTo(body.left() + 4, body.bottom() - 0.5);
    pointer.lineTo(tail);
    pointer.lineTo(body.left() + 8.5, body.bottom() - 0.5);
    p.drawPath(path.united(pointer).simplified());
}

void back(QPainter& p) {
    p.drawPolyline(QPolygonF({{15, 5}, {8, 12}, {15, 19}}));
}

void photo(QPainter& p) {
    p.drawRoundedRect(QRectF(3, 5, 18, 14), 2.5, 2.5);
    p.drawPolyline(QPolygonF({{4, 17}, {9.5, 11.5}, {13, 15}, {15.5, 12.5}, {20, 17}}));
    fillDot(p, {16, 9}, 1.6);
}

void flip(QPainter& p) {
    p.save();
    QPen dashed = inkPen(1.4);
    dashed.setDashPattern({1.5, 2});
    p.setPen(dashed);
    p.drawLine(QPointF(12, 3), QPointF(12, 21));
    p.restore();
    p.drawPolygon(QPolygonF({{9, 6}, {9, 18}, {3, 18}}));
    p.setBrush(kIconInk);
    p.drawPolygon(QPolygonF({{15, 6}, {15, 18}, {21, 18}}));
}

void text(QPainter& p) {
    p.drawPolyline(QPolygonF({{5, 7.5}, {5, 5}, {19, 5}, {19, 7.5}}));
    p.drawLine(QPointF(12, 5), QPointF(12, 19));
    p.drawLine(QPointF(9, 19), QPointF(15, 19));
}

void themes(QPainter& p) {
    // A decorated square: a frame with ornaments at its corners.
    p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
    p.drawRect(QRectF(7.5, 7.5, 9, 9));
    for (QPointF corner :
         {QPointF(5.8, 5.8), QPointF(18.2, 5.8), QPointF(5.8, 18.2), QPointF(18.2, 18.2)}) {
        fillDot(p, corner, 1.1);
    }
}

void share(QPainter& p) {
    p.drawPolyline(QPolygonF({{8, 10}, {5.5, 10}, {5.5, 21}, {18.5, 21}, {18.5, 10}, {16, 10}}));
    p.drawLine(QPointF(12, 3), QPointF(12, 15));
    p.drawPolyline(QPolygonF({{8, 7}, {12, 3}, {16, 7}}));
}

void undo(QPainter& p) {
    turningArrow(p, false);
}

void redo(QPainter& p) {
    turningArrow(p, true);
}

void clear(QPainter& p) {
    // A backspace key: a tag pointing left with a cross in it.
    p.drawPolygon(QPolygonF({{2.5, 12}, {8, 5.5}, {21, 5.5}, {21, 18.5}, {8, 18.5}}));
    p.drawLine(QPointF(11, 9), QPointF(17, 15));
    p.drawLine(QPointF(17, 9), QPointF(11, 15));
}

void start(QPainter& p) {
    p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 3, 3);
    p.drawLine(QPointF(12, 8), QPointF(12, 16));
    p.drawLine(QPointF(8, 12), QPointF(16, 12));
}

void follow(QPainter& p) {
    p.drawEllipse(QPointF(9.5, 8), 3.5, 3.5);
    QPainterPath body;
    body.moveTo(3, 20);
    body.cubicTo(3, 13.5, 16, 13.5, 16, 20);
    p.drawPath(body);
    p.drawLine(QPointF(19, 7), QPointF(19, 13));
    p.drawLine(QPointF(16, 10), QPointF(22, 10));
}

void tag(QPainter& p) {
    p.drawLine(QPointF(9.5, 4), QPointF(7.5, 20));
    p.drawLine(QPointF(16.5, 4), QPointF(14.5, 20));
    p.drawLine(QPointF(4.5, 9), QPointF(20, 9));
    p.drawLine(QPointF(4, 15), QPointF(19.5, 15));
}

void tellAFriend(QPainter& p) {
    // Two bubbles: a conversation.
    speechBubble(p, QRectF(2.5, 3.5, 13, 9.5), {5, 16});
    QPainterPath reply;
    reply.moveTo(17.5, 8);
    reply.lineTo(19, 8);
    reply.quadTo(21.5, 8, 21.5, 10.5);
    reply.lineTo(21.5, 15.5);
    reply.quadTo(21.5, 18, 19, 18);
    reply.lineTo(19, 21);
    reply.lineTo(15.5, 18);
    reply.lineTo(10.5, 18);
    reply.quadTo(8.5, 18, 8.5, 16);
    p.drawPath(reply);
}

void settings(QPainter& p) {
    // A gear: eight teeth round a ring.
    QPainterPath gear;
    constexpr int kTeeth = 8;
    for (int i = 0; i < kTeeth * 2; ++i) {
        const double radius = i % 2 == 0 ? 9.5 : 7.3;
        for (double half : {-1.0, 1.0}) {
            const double angle = (i + half * 0.32) * std::numbers::pi / kTeeth;
            const QPointF point(12 + radius * std::cos(angle), 12 + radius * std::sin(angle));
            if (gear.elementCount() == 0) {
                gear.moveTo(point);
            } else {
                gear.lineTo(point);
            }
        }
    }
    gear.closeSubpath();
    p.drawPath(gear);
    p.drawEllipse(QPointF(12, 12), 3, 3);
}

void more(QPainter& p) {
    for (double x : {4.0, 13.5}) {
        for (double y : {4.0, 13.5}) p.drawRoundedRect(QRectF(x, y, 6.5, 6.5), 1.5, 1.5);
    }
}

void photoApp(QPainter& p) {
    // A camera: body, viewfinder bump, lens.
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 7, 19, 13), 3, 3);
    QPainterPath bump;
    bump.moveTo(8, 7.5);
    bump.lineTo(9.5, 4.5);
    bump.lineTo(14.5, 4.5);
    bump.lineTo(16, 7.5);
    p.drawPath(body.united(bump).simplified());
    p.drawEllipse(QPointF(12, 13.5), 3.8, 3.8);
    fillDot(p, {18.2, 10}, 0.9);
}

void socialNetwork(QPainter& p) {
    // A rounded tile with a lower-case f.
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 4, 4);
    QPainterPath letter;
    letter.moveTo(13, 21);
    letter.lineTo(13, 10.5);
    letter.quadTo(13, 7, 16.5, 7);
    letter.lineTo(17.5, 7);
    p.drawPath(letter);
    p.drawLine(QPointF(10, 12.5), QPointF(17, 12.5));
}

void tweet(QPainter& p) {
    speechBubble(p, QRectF(2.5, 4, 19, 13), {5, 20.5});
    p.drawLine(QPointF(7, 8.5), QPointF(17, 8.5));
    p.drawLine(QPointF(7, 12.5), QPointF(14, 12.5));
}

void mail(QPainter& p) {
    p.drawRoundedRect(QRectF(2.5, 5, 19, 14), 2, 2);
    p.drawPolyline(QPolygonF({{3.5, 6.5}, {12, 13}, {20.5, 6.5}}));
}

void save(QPainter& p) {
    p.drawPolyline(QPolygonF({{4, 14}, {4, 20}, {20, 20}, {20, 14}}));
    p.drawLine(QPointF(12, 3.5), QPointF(12, 15));
    p.drawPolyline(QPolygonF({{7.5, 10.5}, {12, 15}, {16.5, 10.5}}));
}

struct NamedIcon {
    const char* name;
    IconDrawing draw;
};

constexpr NamedIcon kIcons[] = {
    {"back", back},
    {"photo", photo},
    {"flip", flip},
    {"text", text},
    {"themes", themes},
    {"share", share},
    {"undo", undo},
    {"redo", redo},
    {"clear", clear},
    {"start", start},
    {"follow", follow},
    {"tag", tag},
    {"tell-a-friend", tellAFriend},
    {"settings", settings},
    {"more", more},
    {"photo-app", photoApp},
    {"social-network", socialNetwork},
    {"tweet", tweet},
    {"mail", mail},
    {"save", save},
};

// Icons are drawn for the largest size they are shown at (32 points on a
// tablet at two-fold scale); smaller sizes are scaled down from it.
constexpr int kIconSide = 64;

}  // namespace

std::vector<std::pair<std::string, QImage>> interfaceIcons() {
    std::vector<std::pair<std::string, QImage>> icons;
    for (const NamedIcon& icon : kIcons) {
        icons.emplace_back(std::string(icon.name) + ".png", drawOnGrid(icon.draw, kIconSide));
    }
    return icons;
}

QImage drawSampleComposition(const Painter& theme, const QImage& photo, int side) {
    QImage image = drawTheme(theme, side);
    QPainter p(&image);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // Fitted whole, as the editor places a photo: the longer side spans the
    // square.
    const QSizeF fitted = QSizeF(photo.size()).scaled(side, side, Qt::KeepAspectRatio);
    const QRectF target((side - fitted.width()) / 2, (side - fitted.height()) / 2, fitted.width(),
                        fitted.height());
    p.drawImage(target, photo);
    return image;
}

}  // namespace art
