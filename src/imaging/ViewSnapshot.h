#pragma once
// Snapshots of widgets as images, for screens that want a picture of what
// they show. Kept apart from the imaging library so it stays free of widgets.

#include <QWidget>
#include <optional>

#include "imaging/Image.h"

namespace qp {

// The widget's bounds at scale 1.
std::optional<Image> snapshotOfView(QWidget& view);
// `rect` of the widget (its own coordinates) at scale 1.
std::optional<Image> snapshotOfView(QWidget& view, const Rect& rect);
// The widget's bounds at `scale` pixels per point.
std::optional<Image> snapshotOfView(QWidget& view, double scale);
std::optional<Image> snapshotOfView(QWidget& view, const Rect& rect, double scale);

}  // namespace qp
