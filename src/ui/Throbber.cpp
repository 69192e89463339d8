#include "ui/Throbber.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "platform/DeviceProfile.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ModalLayer.h"
#include "platform/ui/ViewAlpha.h"
#include "platform/ui/ViewFrame.h"
#include "ui/RoundProgressView.h"
#include "ui/ThrobberLayout.h"

namespace qp {

namespace {

// The shared overlay. Its view owns it; the pointer clears itself if the
// view goes first.
QPointer<Throbber> g_shared;

void styleLabel(Label* label) {
    label->setTextAlignment(TextAlignment::Center);
    label->setTextColor(Qt::white);
}

}  // namespace

Throbber* Throbber::defaultThrobber() {
    return g_shared.data();
}

Throbber* Throbber::defaultThrobberOnViewWithTitleDetailsDisplayModeBlockNavigation(
    QWidget* view, const QString& title, const QString& details, std::int32_t mode,
    bool blockNavigation) {
    if (g_shared && g_shared->parentWidget() != view) {
        delete g_shared.data();
        g_shared = nullptr;
    }
    if (!view) return nullptr;
    // A second call for the same view keeps the overlay that is there rather
    // than stacking another one over it.
    if (!g_shared) g_shared = new Throbber(viewBounds(view), view);
    Throbber* throbber = g_shared.data();
    throbber->setTitle(title);
    throbber->setDetails(details);
    throbber->setMode(mode);
    throbber->setBlockNavigation(blockNavigation);
    return throbber;
}

Throbber::Throbber(const Rect& frame, QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
    setViewFrame(this, frame);
    setViewAlpha(this, 0.0);

    m_contentView = new QWidget(this);
    m_contentView->setAutoFillBackground(false);
    setViewFrame(m_contentView, Rect(0, 0, kThrobberBoxSide, kThrobberBoxSide));
    setViewCenter(m_contentView, viewBounds(this).center());
    const Point middle = viewBounds(m_contentView).center();

    m_activityView =
        new ActivityIndicatorView(ActivityIndicatorViewStyle::WhiteLarge, m_contentView);
    m_activityView->setHidesWhenStopped(false);
    setViewCenter(m_activityView, middle);

    m_progressView = new RoundProgressView(m_activityView->geometry(), m_contentView);
    setViewCenter(m_progressView, middle);

    m_titleLabel = new Label(m_contentView);
    styleLabel(m_titleLabel);
    m_titleLabel->setLineBreakMode(LineBreakMode::TruncateTail);
    setViewFrame(m_titleLabel, Rect());

    m_detailsLabel = new Label(m_contentView);
    styleLabel(m_detailsLabel);
    m_detailsLabel->setLabelFont(boldSystemFontOfSize(kThrobberDetailsFontSize));
    m_detailsLabel->setLineBreakMode(LineBreakMode::WordWrap);
    m_detailsLabel->setNumberOfLines(kThrobberDetailsLines);
    setViewFrame(m_detailsLabel, Rect());

    setMode(0);
    m_orientation = 1;
    // Up while it can be seen; it has nothing to cancel, so Escape does nothing.
    markModalLayer(this, {[this] { return viewAlpha(this) > 0; }, {}});
    // Children of a shown widget stay hidden until shown themselves; the
    // overlay is present from the start, only transparent.
    if (parent) QWidget::show();
    watchParent();
}

Throbber::~Throbber() {
    if (m_watchedParent) m_watchedParent->removeEventFilter(this);
}

void Throbber::setMode(std::int32_t mode) {
    m_mode = mode;
    // Compared without sign: a negative mode ranks above every other.
    const auto kind = static_cast<std::uint32_t>(mode);
    const bool custom = kind >= 3 && m_customView;
    if (kind == 0) {
        m_activityView->show();
        m_activityView->startAnimating();
        m_progressView->hide();
        if (m_customView) m_customView->hide();
        m_titleLabel->show();
        m_detailsLabel->show();
    } else if (custom) {
        m_customView->show();
        m_activityView->stopAnimating();
        m_activityView->hide();
        m_progressView->hide();
        if (kind >= 4) {
            m_titleLabel->hide();
            m_detailsLabel->hide();
        }
    } else {
        m_progressView->show();
        m_activityView->stopAnimating();
        m_activityView->hide();
        if (m_customView) m_customView->hide();
        m_titleLabel->show();
        m_detailsLabel->show();
    }
    layoutSubviews();
}

void Throbber::setCustomView(QWidget* view) {
    if (view == m_customView) return;
    if (m_customView) {
        m_customView->hide();
        m_customView->setParent(nullptr);
    }
    m_customView = view;
    if (view) {
        view->setParent(m_contentView);
        setViewCenter(view, viewBounds(m_contentView).center());
        view->show();
    }
    // The new view shows only where the mode shows a custom view.
    setMode(m_mode);
}

void Throbber::setProgress(float progress) {
    m_progress = progress;
    m_progressView->setProgress(progress);
}

void Throbber::setBlockNavigation(bool block) {
    m_blockNavigation = block;
    setUserInteractionEnabled(this, block);
    layoutSubviews();
    update();
}

QString Throbber::title() const {
    return m_titleLabel->text();
}

void Throbber::setTitle(const QString& title) {
    m_titleLabel->setText(title);
    layoutSubviews();
}

QString Throbber::details() const {
    return m_detailsLabel->text();
}

void Throbber::setDetails(const QString& details) {
    m_detailsLabel->setText(details);
    layoutSubviews();
}

void Throbber::fadeTo(double alpha, const char* name, std::function<void()> completion) {
    QPointer<Throbber> guard(this);
    fadeView(this, alpha, kThrobberFadeDuration,
             [guard, name, completion = std::move(completion)](bool) {
                 if (guard && guard->m_runningAnimation == name) guard->m_runningAnimation = "";
                 if (completion) completion();
             });
    // Set after the call: a fade it interrupts clears the name on its way out.
    m_runningAnimation = isFading(this) ? name : "";
}

void Throbber::show() {
    raise();
    if (isHidden()) QWidget::show();
    layoutSubviews();
    fadeTo(1.0, kThrobberShowAnimation, {});
}

void Throbber::dismiss() {
    m_showCount = 0;
    dismiss(Selector{});
}

void Throbber::dismiss(Selector selector) {
    QPointer<Throbber> guard(this);
    fadeTo(0.0, kThrobberDismissAnimation, [guard, selector = std::move(selector)] {
        if (guard && selector) selector(*guard);
    });
}

void Throbber::showAndRetain() {
    if (m_showCount == 0) show();
    ++m_showCount;
}

void Throbber::dismissAndRelease() {
    if (m_showCount == 1) dismiss(Selector{});
    --m_showCount;
}

void Throbber::changeOrientationCallback(std::int32_t deviceOrientation) {
    if (deviceOrientation < 1 || deviceOrientation > 4 || deviceOrientation == m_orientation)
        return;
    m_orientation = deviceOrientation;
    layoutSubviews();
    update();
}

void Throbber::setDeviceOrientation(std::int32_t deviceOrientation) {
    m_deviceOrientation = deviceOrientation;
    layoutSubviews();
}

void Throbber::layoutSubviews() {
    if (m_inLayout || !m_contentView) return;
    m_inLayout = true;
    if (QWidget* parent = parentWidget()) {
        if (!parent->isWindow()) {
            setViewFrame(this, viewBounds(parent));
            m_contentRotation = 0;
        } else {
            WindowPlacementInput input;
            input.screen = currentDeviceProfile().screenSize;
            input.orientation = m_orientation;
            input.deviceOrientation = m_deviceOrientation;
            input.blockNavigation = m_blockNavigation;
            input.isPad = currentDeviceProfile().isPad();
            const std::optional<ThrobberPlacement> placement = throbberPlacementOnWindow(input);
            if (!placement) {
                m_inLayout = false;
                return;
            }
            setViewFrame(this, placement->frame);
            m_contentRotation = placement->contentRotation;
        }
    }
    // The box is square, so its rotation leaves its frame as it is; the
    // rotation is kept for drawing.
    setViewCenter(m_contentView, viewBounds(this).center());
    const Rect box = viewBounds(m_contentView);
    setViewCenter(m_activityView, box.center());
    setViewCenter(m_progressView, box.center());
    if (m_customView) setViewCenter(m_customView, box.center());

    const Size measureLimit{kThrobberBoxSide, kThrobberBoxSide};
    auto placeLabel = [&](Label* label, double offset) {
        const bool shows = !label->isHidden() && !label->text().isEmpty();
        const double height = shows ? Label::measureText(label->text(), label->labelFont(),
                                                         label->lineBreakMode(), measureLimit)
                                          .height
                                    : 0;
        setViewFrame(label, throbberLabelFrame(box, shows, height, offset));
    };
    placeLabel(m_titleLabel, kThrobberTitleOffset);
    placeLabel(m_detailsLabel, kThrobberDetailsOffset);

    const QList<QWidget*> subviews =
        m_contentView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    std::vector<Rect> frames;
    frames.reserve(static_cast<std::size_t>(subviews.size()));
    for (const QWidget* subview : subviews) frames.push_back(viewFrame(subview));
    const double shift = throbberCentringShift(frames, box.midY());
    for (QWidget* subview : subviews) setViewFrame(subview, viewFrame(subview).offsetBy(0, shift));
    m_inLayout = false;
}

void Throbber::paintEvent(QPaintEvent*) {
    const Rect box = viewFrame(m_contentView);
    const double left = box.minX();
    const double top = box.minY();
    const double right = box.maxX();
    const double bottom = box.maxY();
    const double r = kThrobberCornerRadius;
    // Clockwise from the top edge, a quarter arc at each corner.
    QPainterPath path;
    path.moveTo(left + r, top);
    path.arcTo(QRectF(right - 2 * r, top, 2 * r, 2 * r), 90, -90);
    path.arcTo(QRectF(right - 2 * r, bottom - 2 * r, 2 * r, 2 * r), 0, -90);
    path.arcTo(QRectF(left, bottom - 2 * r, 2 * r, 2 * r), 270, -90);
    path.arcTo(QRectF(left, top, 2 * r, 2 * r), 180, -90);
    path.closeSubpath();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill(Qt::black);
    fill.setAlphaF(m_opacity);
    painter.fillPath(path, fill);
}

void Throbber::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutSubviews();
}

bool Throbber::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        watchParent();
        layoutSubviews();
    }
    return QWidget::event(event);
}

bool Throbber::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_watchedParent && event->type() == QEvent::Resize) layoutSubviews();
    return QWidget::eventFilter(watched, event);
}

// Clicks that reach the overlay stop here instead of travelling to its parent.
void Throbber::mousePressEvent(QMouseEvent* event) {
    event->accept();
}
void Throbber::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void Throbber::watchParent() {
    if (m_watchedParent == parentWidget()) return;
    if (m_watchedParent) m_watchedParent->removeEventFilter(this);
    m_watchedParent = parentWidget();
    if (m_watchedParent) m_watchedParent->installEventFilter(this);
}

}  // namespace qp
