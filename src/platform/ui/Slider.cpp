#include "platform/ui/Slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qp {

namespace {
constexpr double kTrackThickness = 9;
}  // namespace

void drawStretchableImage(QPainter& painter, const QPixmap& image, const QRectF& target,
                          int leftCap, int topCap) {
    const double w = image.width();
    const double h = image.height();
    const double lc = std::min<double>(leftCap, std::min(w, target.width()) / 2);
    const double tc = std::min<double>(topCap, std::min(h, target.height()) / 2);
    // Columns: cap, stretched middle, cap (the right cap mirrors the left,
    // as a stretchable image's right cap is the rest of the image less one column).
    const double xs[] = {0, lc, w - lc, w};
    const double ys[] = {0, tc, h - tc, h};
    const double txs[] = {target.left(), target.left() + lc, target.right() - lc, target.right()};
    const double tys[] = {target.top(), target.top() + tc, target.bottom() - tc, target.bottom()};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRectF source(xs[col], ys[row], xs[col + 1] - xs[col], ys[row + 1] - ys[row]);
            const QRectF dest(txs[col], tys[row], txs[col + 1] - txs[col], tys[row + 1] - tys[row]);
            if (source.width() <= 0 || source.height() <= 0 || dest.width() <= 0 ||
                dest.height() <= 0)
                continue;
            painter.drawPixmap(dest, image, source);
        }
    }
}

Slider::Slider(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    m_bounds = {double(width()), double(height())};
}

void Slider::setMinimumValue(float value) {
    m_minimum = value;
    if (m_maximum < m_minimum) m_maximum = m_minimum;
    setValue(m_value);
}

void Slider::setMaximumValue(float value) {
    m_maximum = value;
    if (m_minimum > m_maximum) m_minimum = m_maximum;
    setValue(m_value);
}

void Slider::setValue(float value) {
    m_value = std::clamp(value, m_minimum, m_maximum);
    update();
}

void Slider::setMinimumTrackImage(const QPixmap& image, int leftCap, int topCap) {
    m_minimumTrack = {image, leftCap, topCap};
    update();
}

void Slider::setMaximumTrackImage(const QPixmap& image, int leftCap, int topCap) {
    m_maximumTrack = {image, leftCap, topCap};
    update();
}

void Slider::setThumbImageForState(const QPixmap& image, ControlState state) {
    m_thumbs[state] = image;
    update();
}

QPixmap Slider::thumbImageForState(ControlState state) const {
    auto it = m_thumbs.find(state);
    if (it != m_thumbs.end() && !it->second.isNull()) return it->second;
    it = m_thumbs.find(ControlState::Normal);
    return it != m_thumbs.end() ? it->second : QPixmap();
}

void Slider::setRotation(double radians) {
    // Unturned, the widget's own size is the slider's (Qt may not have sent
    // the resize yet for a hidden widget).
    if (m_rotation == 0) m_bounds = {double(width()), double(height())};
    m_rotation = radians;
    placeForRotation();
}

void Slider::setBoundsSize(Size size) {
    m_bounds = size;
    placeForRotation();
}

void Slider::placeForRotation() {
    const QPointF centre = QRectF(geometry()).center();
    const double c = std::abs(std::cos(m_rotation));
    const double s = std::abs(std::sin(m_rotation));
    const double w = m_bounds.width * c + m_bounds.height * s;
    const double h = m_bounds.width * s + m_bounds.height * c;
    m_placing = true;
    setGeometry(QRectF(centre.x() - w / 2, centre.y() - h / 2, w, h).toRect());
    m_placing = false;
    update();
}

void Slider::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Sized from outside (a layout file): that size is the unturned one.
    if (!m_placing && m_rotation == 0) m_bounds = {double(width()), double(height())};
}

Point Slider::toBounds(Point p) const {
    const double dx = p.x - width() / 2.0;
    const double dy = p.y - height() / 2.0;
    const double c = std::cos(-m_rotation);
    const double s = std::sin(-m_rotation);
    return {dx * c - dy * s + m_bounds.width / 2, dx * s + dy * c + m_bounds.height / 2};
}

double Slider::thumbSide() const {
    const QPixmap thumb = thumbImageForState(ControlState::Normal);
    return thumb.isNull() ? kDefaultThumbSide : thumb.width();
}

float Slider::valueAtPoint(Point p) const {
    const Point local = toBounds(p);
    const double travel = m_bounds.width - thumbSide();
    if (travel <= 0 || m_maximum <= m_minimum) return m_minimum;
    const double t = std::clamp((local.x - thumbSide() / 2) / travel, 0.0, 1.0);
    return static_cast<float>(m_minimum + t * (m_maximum - m_minimum));
}

bool Slider::countsAsInside(Point p) const {
    const Point local = toBounds(p);
    return local.x >= -kTouchSlop && local.y >= -kTouchSlop &&
           local.x <= m_bounds.width + kTouchSlop && local.y <= m_bounds.height + kTouchSlop;
}

void Slider::addTargetForControlEvents(Target target, unsigned events) {
    m_targets.emplace_back(events, std::move(target));
}

void Slider::send(ControlEvent event) {
    const auto targets = m_targets;
    for (const auto& [events, target] : targets) {
        if (events & event) target(this);
    }
}

void Slider::trackTo(Point p) {
    const float before = m_value;
    setValue(valueAtPoint(p));
    if (m_continuous && m_value != before) send(kControlEventValueChanged);
}

void Slider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_tracking = true;
    event->accept();
    send(kControlEventTouchDown);
    trackTo({event->position().x(), event->position().y()});
}

void Slider::mouseMoveEvent(QMouseEvent* event) {
    if (!m_tracking) return;
    trackTo({event->position().x(), event->position().y()});
}

void Slider::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_tracking || event->button() != Qt::LeftButton) return;
    m_tracking = false;
    const Point at{event->position().x(), event->position().y()};
    QPointer<Slider> guard(this);
    if (!m_continuous) send(kControlEventValueChanged);
    if (!guard) return;
    send(countsAsInside(at) ? kControlEventTouchUpInside : kControlEventTouchUpOutside);
}

void Slider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(width() / 2.0, height() / 2.0);
    painter.rotate(m_rotation * 180 / std::numbers::pi);
    painter.translate(-m_bounds.width / 2, -m_bounds.height / 2);

    const double side = thumbSide();
    const double travel = std::max(0.0, m_bounds.width - side);
    const double t = m_maximum > m_minimum ? (m_value - m_minimum) / (m_maximum - m_minimum) : 0;
    const double thumbCentre = side / 2 + t * travel;
    auto trackRect = [&](const TrackImage& track, double from, double to) {
        const double thickness = track.image.isNull() ? kTrackThickness : track.image.height();
        return QRectF(from, (m_bounds.height - thickness) / 2, std::max(0.0, to - from), thickness);
    };
    auto drawTrack = [&](const TrackImage& track, const QRectF& r, const QColor& fallback) {
        if (track.image.isNull()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(fallback);
            painter.drawRoundedRect(r, r.height() / 2, r.height() / 2);
        } else {
            drawStretchableImage(painter, track.image, r, track.leftCap, track.topCap);
        }
    };
    drawTrack(m_minimumTrack, trackRect(m_minimumTrack, 0, thumbCentre), QColor(40, 120, 230));
    drawTrack(m_maximumTrack, trackRect(m_maximumTrack, thumbCentre, m_bounds.width),
              QColor(190, 190, 190));

    const QPixmap thumb =
        thumbImageForState(m_tracking ? ControlState::Highlighted : ControlState::Normal);
    const double thumbHeight = thumb.isNull() ? kDefaultThumbSide : thumb.height();
    const QRectF thumbRect(thumbCentre - side / 2, (m_bounds.height - thumbHeight) / 2, side,
                           thumbHeight);
    if (thumb.isNull()) {
        painter.setPen(QPen(QColor(150, 150, 150), 1));
        painter.setBrush(Qt::white);
        painter.drawEllipse(thumbRect);
    } else {
        painter.drawPixmap(thumbRect, thumb, QRectF(thumb.rect()));
    }
}

}  // namespace qp
