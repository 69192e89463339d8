#include "facebook/ui/FBDialogLayout.h"

#include <algorithm>
#include <cmath>

namespace qp {

Rect fbDialogFrame(const Size& windowSize, bool isPad) {
    const Rect appFrame(0, kFBDialogStatusBarHeight, windowSize.width,
                        std::max(0.0, windowSize.height - kFBDialogStatusBarHeight));
    const double scale = isPad ? kFBDialogPadScale : 1.0;
    const double width = std::max(0.0, std::floor(scale * appFrame.width()) - 2 * kFBDialogPadding);
    const double height =
        std::max(0.0, std::floor(scale * appFrame.height()) - 2 * kFBDialogPadding);
    const double centreX = appFrame.minX() + std::ceil(appFrame.width() / 2);
    const double centreY = appFrame.minY() + std::ceil(appFrame.height() / 2);
    return Rect(centreX - width / 2, centreY - height / 2, width, height);
}

Rect fbDialogWebViewFrame(const Size& dialogSize) {
    const double inset = kFBDialogBorderWidth + 1;
    return Rect(inset, inset, std::max(0.0, dialogSize.width - 2 * inset),
                std::max(0.0, dialogSize.height - 2 * inset));
}

Rect fbDialogScaledFrame(const Rect& frame, double scale) {
    const double width = frame.width() * scale;
    const double height = frame.height() * scale;
    return Rect(frame.midX() - width / 2, frame.midY() - height / 2, width, height);
}

}  // namespace qp
