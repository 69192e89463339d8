#pragma once
// How many desktop pixels the program shows a point as, changed while it
// runs. Everything on the screens is drawn again at once at the new scale
// (web pages, popovers and alerts included), as when a window moves to a
// screen of another pixel density.

class QWidget;

namespace qp {

// Shows every screen's contents at `factor` times the scale the program
// started with (a factor set in Qt's environment variable stays under it),
// and sizes `window` to its points at that scale.
void setScreenScale(QWidget& window, double factor);

}  // namespace qp
