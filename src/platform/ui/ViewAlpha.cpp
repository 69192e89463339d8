#include "platform/ui/ViewAlpha.h"

#include <QGraphicsOpacityEffect>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <map>
#include <memory>

#include "platform/ui/Animation.h"

namespace qp {

namespace {

constexpr const char* kAlphaProperty = "qpAlpha";
constexpr const char* kInteractionProperty = "qpUserInteraction";
constexpr const char* kFadeWatchProperty = "qpFadeWatched";

// Running fades by widget; an entry goes when its fade ends or the widget dies.
std::map<const QWidget*, std::shared_ptr<Animation>>& fades() {
    static std::map<const QWidget*, std::shared_ptr<Animation>> running;
    return running;
}

void updateInputTransparency(QWidget* widget) {
    widget->setAttribute(Qt::WA_TransparentForMouseEvents, !takesInput(widget));
}

void applyAlpha(QWidget* widget, double alpha) {
    widget->setProperty(kAlphaProperty, alpha);
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    if (alpha >= 1.0) {
        // An opacity effect renders through an extra buffer; drop it when opaque.
        if (effect) widget->setGraphicsEffect(nullptr);
    } else {
        if (!effect) {
            effect = new QGraphicsOpacityEffect(widget);
            widget->setGraphicsEffect(effect);
        }
        effect->setOpacity(alpha);
    }
    updateInputTransparency(widget);
}

void stopFade(const QWidget* widget) {
    // A cancelled fade's completion may start another one on the same widget.
    for (auto it = fades().find(widget); it != fades().end(); it = fades().find(widget)) {
        std::shared_ptr<Animation> running = std::move(it->second);
        fades().erase(it);
        running->cancel();
    }
}

void watchDestruction(QWidget* widget) {
    if (widget->property(kFadeWatchProperty).isValid()) return;
    widget->setProperty(kFadeWatchProperty, true);
    const QWidget* key = widget;
    QObject::connect(widget, &QObject::destroyed, [key] {
        auto it = fades().find(key);
        if (it == fades().end()) return;
        std::shared_ptr<Animation> orphan = std::move(it->second);
        fades().erase(it);
        orphan->abandon();
    });
}

}  // namespace

double viewAlpha(const QWidget* widget) {
    const QVariant value = widget->property(kAlphaProperty);
    return value.isValid() ? value.toDouble() : 1.0;
}

void setViewAlpha(QWidget* widget, double alpha) {
    stopFade(widget);
    applyAlpha(widget, std::clamp(alpha, 0.0, 1.0));
}

bool isUserInteractionEnabled(const QWidget* widget) {
    const QVariant value = widget->property(kInteractionProperty);
    return !value.isValid() || value.toBool();
}

void setUserInteractionEnabled(QWidget* widget, bool enabled) {
    widget->setProperty(kInteractionProperty, enabled);
    updateInputTransparency(widget);
}

bool takesInput(const QWidget* widget) {
    return isUserInteractionEnabled(widget) && viewAlpha(widget) >= kMinimumInputAlpha;
}

void fadeView(QWidget* widget, double alpha, std::chrono::milliseconds duration,
              std::function<void(bool finished)> completion) {
    stopFade(widget);
    const double target = std::clamp(alpha, 0.0, 1.0);
    QPointer<QWidget> guard(widget);
    const QWidget* key = widget;
    auto animation = Animation::start(
        viewAlpha(widget), target, duration,
        [guard](double value) {
            if (guard) applyAlpha(guard.data(), value);
        },
        [key, completion = std::move(completion)](bool finished) mutable {
            fades().erase(key);
            if (completion) completion(finished);
        });
    if (!animation->isRunning()) return;
    fades()[key] = animation;
    watchDestruction(widget);
}

bool isFading(const QWidget* widget) {
    return fades().count(widget) > 0;
}

}  // namespace qp
