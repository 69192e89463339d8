#pragma once
// Alpha and touch handling for widgets as the phone has them: a widget's
// alpha fades it and its children together, and a widget that is almost
// fully transparent, or whose user interaction is off, lets clicks and
// touches through to what lies beneath.

#include <chrono>
#include <functional>

class QWidget;

namespace qp {

// Below this alpha a widget takes no input, whatever its interaction setting.
inline constexpr double kMinimumInputAlpha = 0.01;

double viewAlpha(const QWidget* widget);
// Sets the alpha at once (clamped to 0…1), stopping a fade in progress.
void setViewAlpha(QWidget* widget, double alpha);

bool isUserInteractionEnabled(const QWidget* widget);
void setUserInteractionEnabled(QWidget* widget, bool enabled);

// True when mouse and touch input can reach the widget itself.
bool takesInput(const QWidget* widget);

// Fades the widget's alpha from where it is to `alpha` over `duration`.
// A fade already running on the widget stops first (its completion learns
// finished = false). The completion does not run if the widget is destroyed.
void fadeView(QWidget* widget, double alpha, std::chrono::milliseconds duration,
              std::function<void(bool finished)> completion = {});
bool isFading(const QWidget* widget);

}  // namespace qp
