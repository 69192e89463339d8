#pragma once
// The app's one look: a palette with the app's colours, which every widget
// starts from (windows, message boxes, text fields), and a style sheet under
// the resources for type, spacing and the states of every control, given to
// the whole application once at start-up over the Fusion style, so that it
// looks the same on any desktop.

#include <filesystem>

#include "platform/Result.h"

#include <QPalette>

class QApplication;

namespace qp {

inline constexpr const char* kStyleErrorDomain = "qp.style";
enum StyleErrorCode { kStyleSheetMissing = 1 };

// The style sheet's place under the resources folder.
inline constexpr const char* kAppStyleSheet = "style/quillpost.qss";

// The app's colours as a palette; the style sheet uses the same colours.
QPalette appPalette();

// Applies the palette and the style sheet found under `resources`. Error 1 when it cannot be
// read; the app then keeps the plain Fusion look.
Result<void> applyAppStyle(QApplication& application, const std::filesystem::path& resources);

}  // namespace qp
