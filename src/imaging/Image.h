#pragma once
// An immutable image: a stored bitmap with its pixel format, an orientation
// tag and a scale. Copies share the pixels; every operation returns a new
// image and leaves the receiver untouched.

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <cstdint>
#include <memory>
#include <optional>

#include "imaging/ImageOrientation.h"
#include "platform/Geometry.h"

namespace qp {

class Layer;

// The three layouts a stored bitmap can have. Every bitmap is kept in one of
// them so operations need only three code paths.
enum class PixelFormat {
    PremultipliedArgb,  // 32-bit, premultiplied alpha (QImage::Format_ARGB32_Premultiplied)
    Rgbx,               // 32-bit, fourth byte unused and 0xff (QImage::Format_RGB32)
    Grey8,              // 8-bit grey, no alpha (QImage::Format_Grayscale8)
};

// A camera frame in 32-bit BGRA (premultiplied) memory, as a capture source
// hands it over. The memory is only read during the call.
struct SampleBuffer {
    const std::uint8_t* baseAddress = nullptr;
    int width = 0;
    int height = 0;
    int bytesPerRow = 0;
};

class Image {
public:
    // An image without a bitmap (zero stored size).
    Image() = default;
    // Wraps a bitmap; other QImage formats are converted to the nearest of
    // the three pixel formats. A null QImage gives an image without bitmap.
    explicit Image(QImage bitmap, ImageOrientation orientation = ImageOrientation::Up,
                   double scale = 1.0);

    bool isNull() const { return width() == 0 || height() == 0; }
    // Stored pixel width and height.
    int width() const;
    int height() const;
    Size storedSize() const { return {double(width()), double(height())}; }
    // Stored size divided by the scale, axes exchanged for the sideways tags.
    Size displaySize() const;
    // The upright picture measured in stored pixels (stored size, axes
    // exchanged for the sideways tags).
    Size uprightPixelSize() const;
    ImageOrientation orientation() const;
    double scale() const;
    PixelFormat pixelFormat() const;
    const QImage& bitmap() const;
    bool hasAlpha() const { return pixelFormat() == PixelFormat::PremultipliedArgb; }

    // True when both share one stored bitmap record (the very same image).
    bool isSameImage(const Image& other) const { return m_data && m_data == other.m_data; }
    // The same pixels under another tag and scale.
    Image withOrientation(ImageOrientation orientation, double scale = 1.0) const;

    // A copy of the stored bitmap reduced by 2^level with area averaging;
    // levels are made on first use and kept with the pixels.
    QImage reducedLevel(int level) const;

    // --- operations on the receiver ---------------------------------------
    // The upright pixels; the very same image when the tag is already Up.
    std::optional<Image> fixOrientation() const;
    // Turned clockwise (as seen) by `angle` radians about the centre; the
    // corners that leave the stored frame are cut off.
    std::optional<Image> rotateOnAngle(double angle) const;
    std::optional<Image> flipVertically() const;
    std::optional<Image> flipHorizontally() const;
    // Stretched to `size`; a background colour shows through transparency.
    std::optional<Image> resizeToSize(Size size) const;
    std::optional<Image> resizeToSize(Size size, std::optional<QColor> backgroundColor) const;
    std::optional<Image> cropToRect(const Rect& rect) const;
    // Aspect fill into `size`, then the centre cut out.
    std::optional<Image> previewWithSize(Size size) const;
    std::optional<Image> mixWithImage(const Image& image) const;
    std::optional<Image> mixWithImage(const Image& image, const Rect& rect) const;
    // The mask's grey samples remove coverage: 0 keeps, 255 removes.
    std::optional<Image> maskWithImage(const Image& mask) const;
    // The mask's brightness is the coverage (white keeps); the result is the
    // rectangle's size and the receiver is not scaled.
    std::optional<Image> maskWithImage(const Image& mask, const Rect& rect) const;
    std::optional<Image> makeBlackAndWhite() const;
    std::optional<Image> makeRoundCornersWithCornerWidthCornerHeight(double cornerWidth,
                                                                     double cornerHeight) const;
    // `path` is in bottom-left coordinates of the stored bitmap.
    std::optional<Image> maskWithPath(const QPainterPath& path) const;
    // A transparent bitmap of the stored size with a soft black silhouette
    // of `path` (bottom-left coordinates).
    std::optional<Image> maskFromPathBlur(const QPainterPath& path, double blur) const;
    // The picture upright, scaled to cover `size` and centred (what passes
    // the edges is cut off), then blurred as by a Gaussian whose standard
    // deviation is `radius` pixels of `size`. Exactly `size` in pixels; the
    // blur runs on a reduced copy, so a large photo costs about what a small
    // one does.
    std::optional<Image> blurredToCover(Size size, double radius) const;

    // --- class operations -------------------------------------------------
    // Renders `layer` (its own coordinates) inside `rect` at `scale`.
    static std::optional<Image> snapshotOfLayerRectScale(const Layer& layer, const Rect& rect,
                                                         double scale);
    static std::optional<Image> imageFromSampleBuffer(const SampleBuffer& buffer);

private:
    struct Data;
    explicit Image(std::shared_ptr<const Data> data) : m_data(std::move(data)) {}

    std::shared_ptr<const Data> m_data;
};

}  // namespace qp
