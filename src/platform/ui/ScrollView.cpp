#include "platform/ui/ScrollView.h"

#include <QScrollBar>
#include <QScroller>
#include <QScrollerProperties>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "platform/ui/Animation.h"

namespace qp {

namespace {
// A phone's scroll indicator: a thin rounded bar over the content, with no
// arrows and no track.
constexpr const char* kIndicatorStyle =
    "QScrollBar { background: transparent; border: none; }"
    "QScrollBar:horizontal { height: 5px; }"
    "QScrollBar:vertical { width: 5px; }"
    "QScrollBar::handle { background: rgba(0, 0, 0, 90); border-radius: 2px; }"
    "QScrollBar::handle:horizontal { min-width: 24px; }"
    "QScrollBar::handle:vertical { min-height: 24px; }"
    "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none; }"
    "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }";
}  // namespace

ScrollView::ScrollView(QWidget* parent) : QScrollArea(parent), m_content(new QWidget) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setWidget(m_content);
    m_content->resize(0, 0);
    viewport()->setAutoFillBackground(false);
    m_content->setAutoFillBackground(false);
    horizontalScrollBar()->setStyleSheet(kIndicatorStyle);
    verticalScrollBar()->setStyleSheet(kIndicatorStyle);
    // Dragging the strip with the mouse scrolls it, as a finger would.
    QScroller::grabGesture(viewport(), QScroller::LeftMouseButtonGesture);
    applyScrollerSettings();
}

ScrollView::~ScrollView() {
    if (m_scrolling) m_scrolling->abandon();
}

Size ScrollView::contentSize() const {
    return {double(m_content->width()), double(m_content->height())};
}

void ScrollView::setContentSize(Size size) {
    m_content->resize(static_cast<int>(std::lround(size.width)),
                      static_cast<int>(std::lround(size.height)));
}

Point ScrollView::contentOffset() const {
    return {double(horizontalScrollBar()->value()), double(verticalScrollBar()->value())};
}

Point ScrollView::clampedOffset(Point offset) const {
    const double maxX = std::max(0.0, contentSize().width - viewport()->width());
    const double maxY = std::max(0.0, contentSize().height - viewport()->height());
    return {std::clamp(offset.x, 0.0, maxX), std::clamp(offset.y, 0.0, maxY)};
}

void ScrollView::setContentOffsetAnimated(Point offset, bool animated) {
    if (m_scrolling) {
        m_scrolling->abandon();
        m_scrolling.reset();
    }
    const Point target = clampedOffset(offset);
    auto apply = [this](Point p) {
        horizontalScrollBar()->setValue(static_cast<int>(std::lround(p.x)));
        verticalScrollBar()->setValue(static_cast<int>(std::lround(p.y)));
    };
    if (!animated) {
        apply(target);
        return;
    }
    const Point from = contentOffset();
    m_scrolling = Animation::start(0, 1, kScrollAnimationDuration, [apply, from, target](double t) {
        apply({from.x + (target.x - from.x) * t, from.y + (target.y - from.y) * t});
    });
}

void ScrollView::scrollRectToVisibleAnimated(const Rect& rect, bool animated) {
    Point offset = contentOffset();
    const double width = viewport()->width();
    const double height = viewport()->height();
    if (rect.maxX() > offset.x + width) offset.x = rect.maxX() - width;
    if (rect.minX() < offset.x) offset.x = rect.minX();
    if (rect.maxY() > offset.y + height) offset.y = rect.maxY() - height;
    if (rect.minY() < offset.y) offset.y = rect.minY();
    setContentOffsetAnimated(offset, animated);
}

void ScrollView::setScrollEnabled(bool enabled) {
    m_scrollEnabled = enabled;
    if (enabled) {
        QScroller::grabGesture(viewport(), QScroller::LeftMouseButtonGesture);
    } else {
        QScroller::ungrabGesture(viewport());
    }
}

void ScrollView::setBounces(bool bounces) {
    m_bounces = bounces;
    applyScrollerSettings();
}

void ScrollView::applyScrollerSettings() {
    QScroller* scroller = QScroller::scroller(viewport());
    QScrollerProperties properties = scroller->scrollerProperties();
    const QVariant policy =
        QVariant::fromValue(m_bounces ? QScrollerProperties::OvershootWhenScrollable
                                      : QScrollerProperties::OvershootAlwaysOff);
    properties.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy, policy);
    properties.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy, policy);
    scroller->setScrollerProperties(properties);
}

void ScrollView::setShowsHorizontalScrollIndicator(bool shows) {
    m_horizontalIndicator = shows;
    setHorizontalScrollBarPolicy(shows ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void ScrollView::setShowsVerticalScrollIndicator(bool shows) {
    m_verticalIndicator = shows;
    setVerticalScrollBarPolicy(shows ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void ScrollView::wheelEvent(QWheelEvent* event) {
    if (!m_scrollEnabled) {
        event->ignore();
        return;
    }
    // A strip that only scrolls sideways takes the ordinary wheel sideways.
    const bool sideways = contentSize().height <= viewport()->height();
    const QPoint delta = event->angleDelta();
    if (sideways && delta.x() == 0 && delta.y() != 0) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta.y() / 2);
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

void ScrollView::scrollContentsBy(int dx, int dy) {
    QScrollArea::scrollContentsBy(dx, dy);
    if (m_delegate) m_delegate->scrollViewDidScroll(*this);
}

}  // namespace qp
