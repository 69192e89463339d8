#include "editor/composition/ResultFile.h"

#include <QPainter>

#include "editor/composition/CompositionConstants.h"
#include "imaging/ImageDrawing.h"
#include "imaging/PhotoIO.h"
#include "imaging/PixelOps.h"
#include "imaging/ResultMarker.h"
#include "imaging/ResultMetadata.h"
#include "platform/Paths.h"

namespace qp {

Image flattenOnWhite(const Image& image) {
    if (image.isNull() || !image.hasAlpha()) return image;
    // A rendered result is upright and premultiplied: laid over white pixel
    // by pixel, without a painter's general drawing path. Usually the theme
    // covers the whole square and nothing needs doing: the JPEG encoder
    // ignores the alpha byte, and opaque premultiplied colour is the colour.
    if (image.orientation() == ImageOrientation::Up &&
        image.bitmap().format() == QImage::Format_ARGB32_Premultiplied) {
        if (pixelops::isOpaque(image.bitmap())) return image;
        QImage flat = pixelops::overWhite(image.bitmap());
        if (!flat.isNull()) return Image(std::move(flat));
    }
    const Size upright = image.uprightPixelSize();
    QImage flat(int(upright.width), int(upright.height), QImage::Format_RGB32);
    if (flat.isNull()) return image;
    flat.fill(Qt::white);
    QPainter painter(&flat);
    drawing::drawImageInRect(painter, image, QRectF(0, 0, upright.width, upright.height));
    painter.end();
    return Image(std::move(flat));
}

Result<QByteArray> encodeResult(const Image& image, ResultFormat format,
                                const CaptureMetadata& kept) {
    Result<QByteArray> encoded =
        format == ResultFormat::Png
            ? pngRepresentation(image)
            : jpegRepresentation(flattenOnWhite(image), kHandOffJpegQuality);
    if (!encoded) return encoded;
    // Each block goes in right after the file's first header, so the EXIF
    // block comes first, then the colour tag, then the mark.
    return withCaptureMetadata(withSrgbTag(withResultMarker(*encoded)), kept);
}

Result<std::filesystem::path> writeHandOffFile(const Image& result,
                                               const std::filesystem::path& documents) {
    Result<QByteArray> bytes = encodeResult(result, ResultFormat::Jpeg);
    if (!bytes) return bytes.error();
    const std::filesystem::path path = documents / kHandOffFileName;
    // Made afresh on every share and handed over at once: waiting for the
    // disk would only hold up the tap.
    if (Result<void> written = writeFileAtomically(path, bytesOf(*bytes), FileFlush::None);
        !written) {
        return written.error();
    }
    return path;
}

}  // namespace qp
