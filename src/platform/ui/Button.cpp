#include "platform/ui/Button.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVariant>

#include "platform/ui/LayoutLoader.h"

namespace qp {

namespace {
constexpr const char* kTagProperty = "tag";
constexpr const char* kSelectedProperty = "selected";
}  // namespace

Button::Button(QWidget* parent) : QPushButton(parent) {}

int Button::tag() const {
    return tagOf(this);
}
void Button::setTag(int tag) {
    setProperty(kTagProperty, tag);
}

void Button::setImageForState(const QPixmap& image, ControlState state) {
    if (image.isNull()) {
        m_images.erase(state);
    } else {
        m_images[state] = image;
    }
    update();
}

QPixmap Button::imageForState(ControlState state) const {
    auto it = m_images.find(state);
    if (it != m_images.end()) return it->second;
    it = m_images.find(ControlState::Normal);
    return it != m_images.end() ? it->second : QPixmap();
}

ControlState Button::currentState() const {
    if (!isEnabled()) return ControlState::Disabled;
    if (isDown()) return ControlState::Highlighted;
    if (m_selected) return ControlState::Selected;
    return ControlState::Normal;
}

void Button::setSelectedState(bool selected) {
    m_selected = selected;
    // The style sheet shows the selected state through this property; it
    // reads properties when it polishes the widget.
    setProperty(kSelectedProperty, selected);
    style()->unpolish(this);
    style()->polish(this);
    update();
}

void Button::addTargetForControlEvents(Target target, unsigned events) {
    m_targets.emplace_back(events, std::move(target));
}

void Button::send(ControlEvent event) {
    // Copied: a target may add targets or delete the button's screen.
    const auto targets = m_targets;
    for (const auto& [events, target] : targets) {
        if (events & event) target(this);
    }
}

void Button::mousePressEvent(QMouseEvent* event) {
    QPushButton::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    m_tracking = true;
    send(kControlEventTouchDown);
}

void Button::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasTracking = m_tracking && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton) m_tracking = false;
    const bool inside = rect().contains(event->position().toPoint());
    QPointer<Button> guard(this);
    QPushButton::mouseReleaseEvent(event);
    if (!guard || !wasTracking) return;
    send(inside ? kControlEventTouchUpInside : kControlEventTouchUpOutside);
}

void Button::paintTitle(QPaintEvent* event) {
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (fontMetrics().horizontalAdvance(text()) <= contents.width()) {
        QPushButton::paintEvent(event);
        return;
    }
    // A title too long for the button ends in an ellipsis rather than being
    // cut at both sides.
    option.text = fontMetrics().elidedText(text(), Qt::ElideRight, contents.width());
    QStylePainter painter(this);
    painter.drawControl(QStyle::CE_PushButton, option);
}

void Button::paintEvent(QPaintEvent* event) {
    const QPixmap image = imageForState(currentState());
    if (image.isNull()) {
        paintTitle(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (currentState() == ControlState::Highlighted && !m_images.count(ControlState::Highlighted)) {
        painter.setOpacity(0.6);  // pressed, with no image of its own for it
    }
    painter.drawPixmap(rect(), image);
}

}  // namespace qp
