#pragma once
// The phone showed network activity as a spinner in its status bar. A
// desktop window has no status bar, so the same signal is a short mark at
// the end of the window's title while a page loads.

class QWidget;

namespace qp {

inline constexpr const char* kNetworkActivityMark = " \u2014 loading\u2026";

// Adds or removes the mark in the title of `window` (a top-level widget);
// the title it had before comes back unchanged. Null does nothing.
void setNetworkActivityMark(QWidget* window, bool visible);
bool hasNetworkActivityMark(const QWidget* window);

}  // namespace qp
