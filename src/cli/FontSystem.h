#pragma once
// Drawing text needs Qt's Gui application for its fonts. Headless commands
// make one only when they draw text, on the offscreen platform, so no
// display is ever needed.

#include <QGuiApplication>

#include <memory>

namespace qp {

// A Gui application for fonts, or nothing when an application exists already.
std::unique_ptr<QGuiApplication> makeFontSystem();

}  // namespace qp
