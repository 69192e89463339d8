#include "ui/RoundProgressView.h"

#include <QPainter>
#include <QPainterPath>

namespace qp {

namespace {
constexpr double kRimInset = 2;
constexpr double kLineWidth = 2;
constexpr double kDiscAlpha = 0.1;
}  // namespace

RoundProgressView::RoundProgressView(QWidget* parent)
    : RoundProgressView(QRect(0, 0, kDefaultSide, kDefaultSide), parent) {}

RoundProgressView::RoundProgressView(const QRect& frame, QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setGeometry(frame);
}

void RoundProgressView::setProgress(float progress) {
    m_progress = progress;
    update();
}

void RoundProgressView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(rect()).adjusted(kRimInset, kRimInset, -kRimInset, -kRimInset);
    QColor disc(Qt::white);
    disc.setAlphaF(kDiscAlpha);
    painter.setBrush(disc);
    painter.setPen(QPen(Qt::white, kLineWidth));
    painter.drawEllipse(circle);

    // Qt measures angles anticlockwise from three o'clock in a y-down space,
    // so the clockwise sweep from twelve o'clock is a negative span from 90°.
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double radius = (width() - 2 * kRimInset) / 2;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath sector;
    sector.moveTo(centre);
    sector.arcTo(box, 90.0, -360.0 * static_cast<double>(m_progress));
    sector.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(sector);
}

}  // namespace qp
