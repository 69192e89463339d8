#include "platform/ui/ActivityIndicatorView.h"

#include <QPainter>
#include <QPointer>

#include <cmath>
#include <numbers>

#include "platform/ui/UiTiming.h"
#include "platform/ui/ViewAlpha.h"

namespace qp {

namespace {

constexpr int kLargeSide = 37;
constexpr int kSmallSide = 20;

// True when some of the widget could reach the screen: every ancestor is
// shown and none is fully transparent.
bool couldBeSeen(const QWidget* widget) {
    if (!widget->isVisible()) return false;
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (viewAlpha(w) <= 0.0) return false;
    }
    return true;
}

}  // namespace

ActivityIndicatorView::ActivityIndicatorView(ActivityIndicatorViewStyle style, QWidget* parent)
    : QWidget(parent), m_style(style) {
    setAttribute(Qt::WA_TranslucentBackground);
    resize(sizeHint());
    setVisible(!m_hidesWhenStopped);
}

ActivityIndicatorView::~ActivityIndicatorView() {
    cancelStep();
}

QSize ActivityIndicatorView::sizeHint() const {
    const int side = m_style == ActivityIndicatorViewStyle::WhiteLarge ? kLargeSide : kSmallSide;
    return {side, side};
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides) {
    m_hidesWhenStopped = hides;
    if (!m_animating) setVisible(!hides);
}

void ActivityIndicatorView::startAnimating() {
    if (m_animating) return;
    m_animating = true;
    if (m_hidesWhenStopped) show();
    scheduleStep();
    update();
}

void ActivityIndicatorView::stopAnimating() {
    if (!m_animating) return;
    m_animating = false;
    cancelStep();
    if (m_hidesWhenStopped) hide();
    update();
}

void ActivityIndicatorView::scheduleStep() {
    if (m_pendingStep || !m_animating || !UiTiming::isInstalled()) return;
    QPointer<ActivityIndicatorView> guard(this);
    m_pendingStep = UiTiming::mainQueue()->postAfter(kStepInterval, [guard] {
        if (guard) guard->step();
    });
}

void ActivityIndicatorView::cancelStep() {
    if (m_pendingStep && UiTiming::mainQueue()) UiTiming::mainQueue()->cancel(m_pendingStep);
    m_pendingStep = 0;
}

void ActivityIndicatorView::step() {
    m_pendingStep = 0;
    if (!m_animating) return;
    // Nothing to turn while nobody can see it; the next paint or show restarts it.
    if (!couldBeSeen(this)) return;
    m_phase = (m_phase + 1) % kSpokeCount;
    update();
    scheduleStep();
}

void ActivityIndicatorView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    scheduleStep();
}

void ActivityIndicatorView::paintEvent(QPaintEvent*) {
    scheduleStep();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor base =
        m_style == ActivityIndicatorViewStyle::Gray ? QColor(128, 128, 128) : Qt::white;
    const double side = std::min(width(), height());
    const double outer = side / 2;
    const double inner = outer * 0.45;
    const double thickness = side * 0.09;
    painter.translate(width() / 2.0, height() / 2.0);
    for (int i = 0; i < kSpokeCount; ++i) {
        // Spokes behind the brightest one fade out, like a trail.
        const int age = (m_phase - i + kSpokeCount) % kSpokeCount;
        QColor color = base;
        color.setAlphaF(1.0 - 0.75 * age / (kSpokeCount - 1.0));
        painter.setPen(QPen(color, thickness, Qt::SolidLine, Qt::RoundCap));
        const double angle = 2 * std::numbers::pi * i / kSpokeCount - std::numbers::pi / 2;
        painter.drawLine(QPointF(inner * std::cos(angle), inner * std::sin(angle)),
                         QPointF(outer * std::cos(angle) * 0.92, outer * std::sin(angle) * 0.92));
    }
}

}  // namespace qp
