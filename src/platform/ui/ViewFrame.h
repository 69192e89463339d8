#pragma once
// Frames in points with fractions, as the phone keeps them. Qt places widgets
// on whole pixels, so the exact frame is kept beside the widget's geometry
// for the arithmetic that builds on it.

#include "platform/Geometry.h"

class QWidget;

namespace qp {

// The exact frame last set with setViewFrame, else the widget's geometry.
Rect viewFrame(const QWidget* widget);
// Places the widget at the nearest whole pixels and remembers the exact frame.
void setViewFrame(QWidget* widget, const Rect& frame);
// The widget's bounds: its frame's size at the origin.
Rect viewBounds(const QWidget* widget);
// Moves the widget so that its frame's centre is `centre`, size unchanged.
void setViewCenter(QWidget* widget, Point centre);

}  // namespace qp
