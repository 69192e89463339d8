#include "platform/ui/PopoverController.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

#include "platform/ui/ViewAlpha.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/ViewFrame.h"

namespace qp {

namespace {

constexpr double kPanelCornerRadius = 8;
constexpr double kPanelBorder = 6;

// Covers the window; clicks on it fall outside the panel.
class PopoverShield : public QWidget {
public:
    PopoverShield(QWidget* window, PopoverController& owner) : QWidget(window), m_owner(owner) {
        setGeometry(window->rect());
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        m_owner.tappedOutside();
    }

private:
    PopoverController& m_owner;
};

// The dark frame round the content with its arrow.
class PopoverPanel : public QWidget {
public:
    PopoverPanel(QWidget* parent, PopoverArrowDirection arrow) : QWidget(parent), m_arrow(arrow) {}

protected:
    void paintEvent(QPaintEvent*) override {
        const double a = PopoverController::kArrowSize;
        QRectF body = QRectF(rect());
        QPolygonF tip;
        const QPointF c = body.center();
        switch (m_arrow) {
            case kPopoverArrowDirectionLeft:
                body.adjust(a, 0, 0, 0);
                tip << QPointF(0, c.y()) << QPointF(a, c.y() - a) << QPointF(a, c.y() + a);
                break;
            case kPopoverArrowDirectionRight:
                body.adjust(0, 0, -a, 0);
                tip << QPointF(width(), c.y()) << QPointF(width() - a, c.y() - a)
                    << QPointF(width() - a, c.y() + a);
                break;
            case kPopoverArrowDirectionUp:
                body.adjust(0, a, 0, 0);
                tip << QPointF(c.x(), 0) << QPointF(c.x() - a, a) << QPointF(c.x() + a, a);
                break;
            default:
                body.adjust(0, 0, 0, -a);
                tip << QPointF(c.x(), height()) << QPointF(c.x() - a, height() - a)
                    << QPointF(c.x() + a, height() - a);
                break;
        }
        QPainterPath path;
        path.addRoundedRect(body, kPanelCornerRadius, kPanelCornerRadius);
        path.addPolygon(tip);
        path.setFillRule(Qt::WindingFill);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(path, QColor(30, 40, 60, 240));
    }

private:
    PopoverArrowDirection m_arrow;
};

Rect clampInto(Rect r, const Rect& bounds) {
    r.origin.x = std::clamp(r.origin.x, bounds.minX(),
                            std::max(bounds.minX(), bounds.maxX() - r.size.width));
    r.origin.y = std::clamp(r.origin.y, bounds.minY(),
                            std::max(bounds.minY(), bounds.maxY() - r.size.height));
    return r;
}

}  // namespace

std::pair<Rect, PopoverArrowDirection> popoverPlacement(const Rect& anchor, Size size,
                                                        const Rect& bounds, unsigned permitted,
                                                        double arrowSize) {
    const double w = size.width + 2 * kPanelBorder;
    const double h = size.height + 2 * kPanelBorder;
    struct Option {
        PopoverArrowDirection arrow;
        Rect frame;
        bool fits;
    };
    const Option options[] = {
        // An arrow pointing left puts the panel on the anchor's right.
        {kPopoverArrowDirectionLeft, Rect(anchor.maxX(), anchor.midY() - h / 2, w + arrowSize, h),
         anchor.maxX() + w + arrowSize <= bounds.maxX()},
        {kPopoverArrowDirectionRight,
         Rect(anchor.minX() - w - arrowSize, anchor.midY() - h / 2, w + arrowSize, h),
         anchor.minX() - w - arrowSize >= bounds.minX()},
        {kPopoverArrowDirectionUp, Rect(anchor.midX() - w / 2, anchor.maxY(), w, h + arrowSize),
         anchor.maxY() + h + arrowSize <= bounds.maxY()},
        {kPopoverArrowDirectionDown,
         Rect(anchor.midX() - w / 2, anchor.minY() - h - arrowSize, w, h + arrowSize),
         anchor.minY() - h - arrowSize >= bounds.minY()},
    };
    const Option* chosen = nullptr;
    for (const Option& option : options) {
        if (!(permitted & option.arrow)) continue;
        if (option.fits) {
            chosen = &option;
            break;
        }
        if (!chosen) chosen = &option;  // nothing fits: the first permitted, squeezed in
    }
    if (!chosen) chosen = &options[0];
    return {clampInto(chosen->frame, bounds), chosen->arrow};
}

PopoverController::PopoverController(std::shared_ptr<ViewController> content)
    : m_content(std::move(content)) {}

PopoverController::~PopoverController() {
    *m_alive = false;
    teardown();
}

void PopoverController::presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
    const Rect& rect, QWidget* view, unsigned arrowDirections, bool animated) {
    if (m_visible || !view || !m_content) return;
    QWidget* window = view->window();
    const QPoint origin = view->mapTo(window, QPoint(0, 0));
    const Rect anchor = rect.offsetBy(origin.x(), origin.y());
    const Rect bounds(0, 0, window->width(), window->height());
    auto [frame, arrow] =
        popoverPlacement(anchor, m_contentSize, bounds, arrowDirections, kArrowSize);
    m_panelFrame = frame;
    m_arrow = arrow;

    m_shield = new PopoverShield(window, *this);
    auto* panel = new PopoverPanel(window, arrow);
    m_panel = panel;
    setViewFrame(panel, frame);
    QWidget* content = m_content->view();
    content->setParent(panel);
    Rect inner(kPanelBorder, kPanelBorder, frame.width() - 2 * kPanelBorder,
               frame.height() - 2 * kPanelBorder);
    if (arrow == kPopoverArrowDirectionLeft) inner = inner.offsetBy(kArrowSize, 0);
    if (arrow == kPopoverArrowDirectionUp) inner = inner.offsetBy(0, kArrowSize);
    if (arrow == kPopoverArrowDirectionLeft || arrow == kPopoverArrowDirectionRight) {
        inner.size.width -= kArrowSize;
    } else {
        inner.size.height -= kArrowSize;
    }
    setViewFrame(content, inner);

    m_content->beginAppearance(true, animated);
    m_shield->show();
    m_shield->raise();
    panel->show();
    panel->raise();
    content->show();
    m_visible = true;
    if (animated) {
        setViewAlpha(panel, 0.0);
        fadeView(panel, 1.0, kFadeDuration);
    }
    m_content->endAppearance(true, animated);
}

void PopoverController::dismissPopoverAnimated(bool animated) {
    dismiss(animated, {});
}

void PopoverController::dismiss(bool animated, std::function<void()> done) {
    if (!m_visible) return;
    m_visible = false;
    m_content->beginAppearance(false, animated);
    if (m_shield) m_shield->hide();  // clicks reach the screen again at once
    if (!animated || !m_panel) {
        teardown();
        m_content->endAppearance(false, animated);
        if (done) done();
        return;
    }
    std::weak_ptr<bool> alive = m_alive;
    fadeView(m_panel, 0.0, kFadeDuration, [this, alive, animated, done = std::move(done)](bool) {
        if (alive.expired()) return;
        teardown();
        m_content->endAppearance(false, animated);
        // The delegate may let go of the popover here; nothing follows.
        if (done) done();
    });
}

void PopoverController::tappedOutside() {
    if (!m_visible) return;
    if (m_delegate && !m_delegate->popoverControllerShouldDismissPopover(*this)) return;
    dismiss(true, [this] {
        if (m_delegate) m_delegate->popoverControllerDidDismissPopover(*this);
    });
}

void PopoverController::teardown() {
    if (m_content && m_content->isViewLoaded()) {
        QWidget* content = m_content->view();
        content->hide();
        content->setParent(nullptr);
    }
    delete m_panel.data();
    delete m_shield.data();
}

}  // namespace qp
