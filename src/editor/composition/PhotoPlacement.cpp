#include "editor/composition/PhotoPlacement.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

#include "editor/composition/CompositionConstants.h"
#include "editor/composition/PreviewSquare.h"
#include "imaging/PhotoIO.h"

namespace qp {
namespace {

Error placementError(int code, std::string text) {
    return Error(kCompositionErrorDomain, code, {{kLocalizedDescriptionKey, std::move(text)}});
}

// How much a photo whose shorter side is under the minimum is enlarged: up
// to that minimum, but never past the pixel limit. A long thin strip (3000 ×
// 3, say) would otherwise become a bitmap of hundreds of megapixels; capped,
// it is simply placed from fewer pixels. The limit is kept with a little
// room, so rounding each side to whole pixels cannot pass it.
double enlargementFactor(Size size) {
    constexpr double kRoundingRoom = 0.995;
    const double toMinimum =
        std::max(kMinimumShortSide / size.width, kMinimumShortSide / size.height);
    const double withinLimit =
        kRoundingRoom * std::sqrt(double(kMaxDecodedPixels) / (size.width * size.height));
    return std::min(toMinimum, withinLimit);
}

bool isFinite(Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

}  // namespace

PhotoPlacement::PhotoPlacement(PreviewSquare& square) : m_square(square) {}

Result<void> PhotoPlacement::importPhoto(const Image& picked, std::optional<Size> fullSize) {
    if (picked.isNull()) return placementError(kCompositionErrorNoPhoto, "the photo has no pixels");
    Size size = fullSize.value_or(picked.displaySize());
    if (size.isEmpty() || !std::isfinite(size.width) || !std::isfinite(size.height)) {
        return placementError(kCompositionErrorNoPhoto, "the photo has no size");
    }

    std::optional<Image> shown = picked;
    if (std::min(size.width, size.height) < kMinimumShortSide) {
        const double f = enlargementFactor(size);
        if (f > 1) {
            size = {size.width * f, size.height * f};
            shown = picked.resizeToSize(size);
            if (!shown) {
                return placementError(
                    kCompositionErrorImportFailed,
                    fmt::format("the photo could not be enlarged to {:.0f} × {:.0f} pixels (not "
                                "enough memory?)",
                                size.width, size.height));
            }
        }
    }
    shown = shown->fixOrientation();
    if (!shown) {
        return placementError(kCompositionErrorImportFailed,
                              "the photo could not be turned upright (not enough memory?)");
    }

    Layer& photo = m_square.photoLayer();
    photo.setAnchorPoint({0.5, 0.5});
    photo.setImage(std::move(shown));
    m_originalPhotoWidth = size.width;
    m_originalPhotoHeight = size.height;
    m_previewPhotoIsRealPhoto = true;
    m_mirrored = false;
    m_totalScaleChange = 1;
    photo.setTransform(AffineTransform::identity());
    const Point c = m_square.center();
    photo.setFrame({c.x - size.width / 2, c.y - size.height / 2, size.width, size.height});

    // The fit is one pinch step, so it obeys the same rule as the user's.
    // Whole into the frame: in the square, the longer side spans it.
    const Size frame = m_square.size();
    m_fitFactor = std::min(frame.width / size.width, frame.height / size.height);
    pinchDetected(m_fitFactor);
    return {};
}

bool PhotoPlacement::showBottomImage(std::optional<Image> bottomImage) {
    if (m_previewPhotoIsRealPhoto) return false;
    Layer& photo = m_square.photoLayer();
    photo.setImage(std::move(bottomImage));
    m_totalScaleChange = 1;
    photo.setTransform(AffineTransform::identity());
    photo.setAnchorPoint({0.5, 0.5});
    photo.setFrame(m_square.bounds());
    return true;
}

void PhotoPlacement::touchesBegan() {
    if (!m_previewPhotoIsRealPhoto) return;
    Layer& photo = m_square.photoLayer();
    if (!photo.transform().isInvertible()) return;
    const Point p = photo.convertPointFromLayer(m_square.center(), m_square.root());
    const Point anchor{p.x / m_originalPhotoWidth, p.y / m_originalPhotoHeight};
    if (!isFinite(anchor)) return;
    setAnchorPointForView(anchor, photo);
}

void PhotoPlacement::setAnchorPointForView(Point anchorPoint, Layer& layer) {
    const Size size = layer.bounds().size;
    const AffineTransform& t = layer.transform();
    const Point a0 = layer.anchorPoint();
    const Point moved = t.apply(Point{size.width * anchorPoint.x, size.height * anchorPoint.y});
    const Point old = t.apply(Point{size.width * a0.x, size.height * a0.y});
    const Point position = layer.position();
    layer.setPosition({position.x - old.x + moved.x, position.y - old.y + moved.y});
    layer.setAnchorPoint(anchorPoint);
}

void PhotoPlacement::panDetected(Point translation) {
    if (!m_previewPhotoIsRealPhoto || !isFinite(translation)) return;
    Layer& photo = m_square.photoLayer();
    const Point c = photo.center();
    photo.setCenter({c.x + translation.x, c.y + translation.y});
}

double PhotoPlacement::minimumTotalScale() const {
    return std::min(kMinimumTotalScale, m_fitFactor);
}

bool PhotoPlacement::pinchDetected(double scale) {
    if (!m_previewPhotoIsRealPhoto || !std::isfinite(scale) || scale <= 0) return false;
    const double t = m_totalScaleChange * scale;
    if (t > kZoomCap || t < minimumTotalScale()) return false;
    m_totalScaleChange = t;
    Layer& photo = m_square.photoLayer();
    photo.setTransform(photo.transform().scaled(scale, scale));
    return true;
}

void PhotoPlacement::rotationDetected(double radians) {
    if (!m_previewPhotoIsRealPhoto || !std::isfinite(radians)) return;
    Layer& photo = m_square.photoLayer();
    photo.setTransform(photo.transform().rotated(radians));
}

void PhotoPlacement::actionFlipPhotoImage() {
    if (!m_previewPhotoIsRealPhoto) return;
    Layer& photo = m_square.photoLayer();
    if (!photo.image()) return;
    if (std::optional<Image> flipped = photo.image()->flipHorizontally()) {
        photo.setImage(std::move(flipped));
        m_mirrored = !m_mirrored;
    }
}

PlacementState PhotoPlacement::state() const {
    const Layer& photo = m_square.photoLayer();
    return {photo.position(), photo.anchorPoint(), photo.transform(), m_totalScaleChange,
            m_mirrored};
}

bool PhotoPlacement::restore(const PlacementState& state) {
    if (!m_previewPhotoIsRealPhoto) return false;
    Layer& photo = m_square.photoLayer();
    photo.setAnchorPoint(state.anchorPoint);
    photo.setPosition(state.position);
    photo.setTransform(state.transform);
    m_totalScaleChange = state.totalScaleChange;
    if (state.mirrored == m_mirrored) return false;
    actionFlipPhotoImage();
    return state.mirrored == m_mirrored;
}

}  // namespace qp
