#pragma once
// Where the user's photo sits in the preview square: importing a picked
// photo (enlarged when too small, turned upright, fitted whole), and the
// pan, pinch, rotation and mirror steps with the pivot kept under the
// square's centre. The placement lives only in the photo layer's transform,
// anchor point and position.

#include <optional>

#include "imaging/Image.h"
#include "imaging/Layer.h"
#include "platform/Geometry.h"
#include "platform/Result.h"

namespace qp {

class PreviewSquare;

inline constexpr const char* kCompositionErrorDomain = "qp.composition";
enum CompositionErrorCode {
    kCompositionErrorNoPhoto = 1,       // the picked photo has no pixels
    kCompositionErrorImportFailed = 2,  // enlarging or turning it upright failed
};

// A placed photo's placement as it stands: enough to put it back exactly
// (the photo itself is not part of it).
struct PlacementState {
    Point position;
    Point anchorPoint{0.5, 0.5};
    AffineTransform transform;
    double totalScaleChange = 1;
    bool mirrored = false;

    bool operator==(const PlacementState&) const = default;
};

class PhotoPlacement {
public:
    // `square` must outlive the placement.
    explicit PhotoPlacement(PreviewSquare& square);

    bool previewPhotoIsRealPhoto() const { return m_previewPhotoIsRealPhoto; }
    // The placed photo's size after enlarging, in pixels (the photo layer's
    // unscaled points).
    double originalPhotoWidth() const { return m_originalPhotoWidth; }
    double originalPhotoHeight() const { return m_originalPhotoHeight; }
    // Product of the accepted pinch factors since the photo was placed.
    double totalScaleChange() const { return m_totalScaleChange; }

    // Places a picked photo and fits it whole into the square. `picked` may
    // be a reduced copy of a photo whose upright size is `fullSize` (a
    // shrink-on-load decode); the layer still takes the full size, so the
    // arithmetic is that of the whole photo. A photo that needs enlarging
    // should come at full size. On failure nothing changes.
    [[nodiscard]] Result<void> importPhoto(const Image& picked,
                                           std::optional<Size> fullSize = std::nullopt);

    // A photo-slot theme without a user photo: the slot shows `bottomImage`
    // over the whole square with the placement reset. A placed user photo is
    // left untouched. Answers whether the slot changed.
    bool showBottomImage(std::optional<Image> bottomImage);

    // A touch began on the square: the pivot moves to the photo point under
    // the square's centre, so the next pinch and rotation turn about it.
    void touchesBegan();
    // Adds the translation (points) to the photo's centre.
    void panDetected(Point translation);
    // One pinch step. Dropped whole (answers false) when the total scale
    // would pass the zoom cap or fall below the floor.
    bool pinchDetected(double scale);
    // One rotation step in radians; positive turns clockwise on screen.
    void rotationDetected(double radians);
    // Mirrors the photo's pixels; transform, centre and anchor stay.
    void actionFlipPhotoImage();

    // Whether the photo shows mirrored against the one picked.
    bool isMirrored() const { return m_mirrored; }
    PlacementState state() const;
    // Puts the placed photo back as `state` describes, mirroring its pixels
    // when needed. Answers whether the pixels changed. Without a user photo
    // nothing happens: the slot's placement follows the theme.
    bool restore(const PlacementState& state);

    // Changes a layer's anchor point without moving it on screen.
    static void setAnchorPointForView(Point anchorPoint, Layer& layer);

    // The smallest total scale a pinch may reach for the placed photo.
    double minimumTotalScale() const;

private:
    PreviewSquare& m_square;
    bool m_previewPhotoIsRealPhoto = false;
    double m_originalPhotoWidth = 0;
    double m_originalPhotoHeight = 0;
    double m_totalScaleChange = 1;
    double m_fitFactor = 1;
    bool m_mirrored = false;
};

}  // namespace qp
