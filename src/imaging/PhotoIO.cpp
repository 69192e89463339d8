#include "imaging/PhotoIO.h"

#include <turbojpeg.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

#include "imaging/BitmapPool.h"
#include "imaging/ColourConversion.h"
#include "imaging/EmbeddedProfile.h"
#include "imaging/ExifReader.h"
#include "imaging/FileStructure.h"
#include "imaging/HeifPhoto.h"
#include "imaging/ImageOrientation.h"
#include "imaging/PhotoFile.h"
#include "imaging/PhotoFormat.h"

namespace qp {
namespace {

// Bytes per decoded pixel in the largest format Qt may decode into (16 bits
// per channel RGBA), so Qt's own allocation cap never refuses a picture our
// pixel limit allows.
constexpr int kPixelSlack = 8;
constexpr char kJpegEndMarker[] = "\xFF\xD9";

Error imagingError(ImagingErrorCode code, const std::string& text) {
    return Error(kImagingErrorDomain, code, {{kLocalizedDescriptionKey, text}});
}

struct TjDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDeleter>;

int validShrink(int shrink) {
    if (shrink >= 8) return 8;
    if (shrink >= 4) return 4;
    if (shrink >= 2) return 2;
    return 1;
}

Result<Image> decodeWithQt(const QByteArray& bytes, PhotoFormat format,
                           const DecodeOptions& options);

std::string tooManyPixels(std::int64_t width, std::int64_t height, std::int64_t limit) {
    return "the picture is " + std::to_string(width) + " × " + std::to_string(height) +
           " pixels, more than the limit of " + std::to_string(limit / 1'000'000) + " megapixels";
}

bool endsWithEndMarker(const QByteArray& bytes) {
    return bytes.endsWith(QByteArray(kJpegEndMarker, 2));
}

// The photo's own colours brought to sRGB, as its embedded profile says.
void convertColours(QImage& bitmap, const QByteArray& bytes, PhotoFormat format,
                    std::vector<std::string>* warnings) {
    applyEmbeddedProfile(
        bitmap,
        readEmbeddedProfile(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                            std::size_t(bytes.size()), format),
        warnings);
}

Result<Image> decodeJpeg(const QByteArray& bytes, const DecodeOptions& options) {
    TjHandle handle(tjInitDecompress());
    if (!handle) return imagingError(kImagingErrorUnreadable, "the JPEG decoder could not start");
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(handle.get(), data, size, &width, &height, &subsampling,
                            &colourspace) != 0) {
        return imagingError(kImagingErrorUnreadable,
                            std::string("unreadable JPEG header: ") + tjGetErrorStr2(handle.get()));
    }
    if (width <= 0 || height <= 0) {
        return imagingError(kImagingErrorUnreadable, "the JPEG header gives no picture size");
    }
    if (std::int64_t(width) * height > options.maxPixels) {
        return imagingError(kImagingErrorTooLarge, tooManyPixels(width, height, options.maxPixels));
    }
    if (colourspace == TJCS_CMYK || colourspace == TJCS_YCCK) {
        // TurboJPEG cannot turn these into RGB; Qt's reader can.
        return decodeWithQt(bytes, PhotoFormat::Jpeg, options);
    }
    const tjscalingfactor factor{1, validShrink(options.shrink)};
    const int outWidth = TJSCALED(width, factor);
    const int outHeight = TJSCALED(height, factor);
    const bool grey = colourspace == TJCS_GRAY;
    QImage bitmap =
        pooledBitmap(outWidth, outHeight, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (bitmap.isNull()) return imagingError(kImagingErrorTooLarge, "no memory for the picture");
    // RGB32 is a native-endian 0xffRRGGBB word.
    const int pixelFormat =
        grey ? TJPF_GRAY : (Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRA : TJPF_ARGB);
    // Any warning (a truncated file above all) counts as failure, and a
    // progressive file may not have an absurd number of scans.
    const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    if (tjDecompress2(handle.get(), data, size, bitmap.bits(), outWidth, int(bitmap.bytesPerLine()),
                      outHeight, pixelFormat, flags) != 0) {
        const std::string reason = tjGetErrorStr2(handle.get());
        // Cameras and editors sometimes drop only the end marker. Such a file
        // is whole when it decodes cleanly with the marker put back; a file
        // cut inside its picture data still fails.
        if (!endsWithEndMarker(bytes)) {
            const QByteArray mended = bytes + QByteArray(kJpegEndMarker, 2);
            const auto* mendedData = reinterpret_cast<const unsigned char*>(mended.constData());
            if (tjDecompress2(handle.get(), mendedData, static_cast<unsigned long>(mended.size()),
                              bitmap.bits(), outWidth, int(bitmap.bytesPerLine()), outHeight,
                              pixelFormat, flags) == 0) {
                if (options.warnings) {
                    options.warnings->push_back(
                        "the JPEG file ends without its end marker; its picture data is complete");
                }
                convertColours(bitmap, bytes, PhotoFormat::Jpeg, options.warnings);
                const auto exif = readExifOrientation(data, std::size_t(size));
                const auto orientation = exif ? orientationFromExif(*exif) : std::nullopt;
                return Image(std::move(bitmap), orientation.value_or(ImageOrientation::Up));
            }
        }
        return imagingError(kImagingErrorUnreadable, "corrupt or truncated JPEG: " + reason);
    }
    convertColours(bitmap, bytes, PhotoFormat::Jpeg, options.warnings);
    const auto exif = readExifOrientation(data, std::size_t(size));
    const auto orientation = exif ? orientationFromExif(*exif) : std::nullopt;
    return Image(std::move(bitmap), orientation.value_or(ImageOrientation::Up));
}

}  // namespace

int exifFromTransformation(int transformation) {
    // Qt's transformations are the EXIF orientations in another order: a
    // mirror or flip applied before the quarter turn.
    switch (transformation) {
        case QImageIOHandler::TransformationMirror:
            return 2;
        case QImageIOHandler::TransformationRotate180:
            return 3;
        case QImageIOHandler::TransformationFlip:
            return 4;
        case QImageIOHandler::TransformationFlipAndRotate90:
            return 5;
        case QImageIOHandler::TransformationRotate90:
            return 6;
        case QImageIOHandler::TransformationMirrorAndRotate90:
            return 7;
        case QImageIOHandler::TransformationRotate270:
            return 8;
        default:
            return 1;
    }
}

namespace {

// The orientation tag: our own EXIF readers first, then what Qt's reader says.
ImageOrientation orientationOf(const QByteArray& bytes, PhotoFormat format,
                               const QImageReader& reader) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const auto size = std::size_t(bytes.size());
    std::optional<int> exif;
    if (format == PhotoFormat::Jpeg) exif = readExifOrientation(data, size);
    if (format == PhotoFormat::Png) exif = readPngExifOrientation(data, size);
    if (!exif) exif = exifFromTransformation(int(reader.transformation()));
    return orientationFromExif(*exif).value_or(ImageOrientation::Up);
}

// A PNG whose chunks run past the end of the file is damaged. Checked here
// because libpng spends seconds on such a file (a few hundred bytes can
// claim kilobytes of text) before it gives up.
bool pngChunksFitTheFile(const QByteArray& bytes) {
    return walkPngChunks(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         std::size_t(bytes.size()),
                         [](const PngChunk&) { return true; }) == WalkEnd::Finished;
}

// Only the built-in reader of the format the content shows: no plugin (SVG
// above all, which can pull other files in) ever sees the bytes.
void readOnlyAs(QImageReader& reader, PhotoFormat format) {
    reader.setFormat(qtReaderName(format));
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
}

Result<Image> decodeWithQt(const QByteArray& bytes, PhotoFormat format,
                           const DecodeOptions& options) {
    if (format == PhotoFormat::Png && !pngChunksFitTheFile(bytes)) {
        return imagingError(kImagingErrorUnreadable,
                            "unreadable picture: the PNG file is damaged or cut short");
    }
    // Qt's own allocation cap must not refuse what our pixel limit allows.
    static std::once_flag raiseLimit;
    std::call_once(raiseLimit, [&] {
        const int neededMb = int(kMaxDecodedPixels * kPixelSlack / (1024 * 1024)) + 1;
        if (QImageReader::allocationLimit() < neededMb) QImageReader::setAllocationLimit(neededMb);
    });
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    readOnlyAs(reader, format);
    const QSize size = reader.size();
    if (size.isValid() && std::int64_t(size.width()) * size.height() > options.maxPixels) {
        return imagingError(kImagingErrorTooLarge,
                            tooManyPixels(size.width(), size.height(), options.maxPixels));
    }
    const ImageOrientation orientation = orientationOf(bytes, format, reader);
    QImage bitmap = reader.read();
    if (bitmap.isNull()) {
        return imagingError(kImagingErrorUnreadable,
                            "unreadable picture: " + reader.errorString().toStdString());
    }
    if (std::int64_t(bitmap.width()) * bitmap.height() > options.maxPixels) {
        return imagingError(kImagingErrorTooLarge,
                            tooManyPixels(bitmap.width(), bitmap.height(), options.maxPixels));
    }
    convertColours(bitmap, bytes, format, options.warnings);
    return Image(std::move(bitmap), orientation);
}

Result<Image> uprightForEncoding(const Image& image) {
    if (image.isNull()) return imagingError(kImagingErrorNoImage, "there is no picture to encode");
    auto upright = image.fixOrientation();
    if (!upright)
        return imagingError(kImagingErrorEncodeFailed, "the picture could not be turned upright");
    return *upright;
}

}  // namespace

Result<Image> decodePhoto(const QByteArray& bytes, const DecodeOptions& options) {
    if (bytes.isEmpty()) return imagingError(kImagingErrorUnreadable, "the file is empty");
    const PhotoFormat format = sniffPhotoFormat(
        reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
    switch (format) {
        case PhotoFormat::Jpeg:
            return decodeJpeg(bytes, options);
        case PhotoFormat::Heif:
            return decodeHeif(bytes, options);
        case PhotoFormat::Unknown:
            return imagingError(kImagingErrorUnsupportedFormat,
                                "it is not a " + std::string(kReadablePhotoFormats) + " picture");
        default:
            return decodeWithQt(bytes, format, options);
    }
}

Result<Image> readPhoto(const std::string& path, const DecodeOptions& options) {
    PhotoFileLimits limits;
    limits.maxPixels = options.maxPixels;
    Result<QByteArray> bytes = readPhotoFile(path, limits);
    if (!bytes) return bytes.error();
    return decodePhoto(*bytes, options);
}

Result<Image> readPhotoThumbnail(const std::string& path, int side) {
    Result<QByteArray> bytes = readPhotoFile(path);
    if (!bytes) return bytes.error();
    const PhotoFormat format = sniffPhotoFormat(
        reinterpret_cast<const std::uint8_t*>(bytes->constData()), std::size_t(bytes->size()));
    if (format == PhotoFormat::Heif) {
        // libheif has no shrink-on-load: the whole picture, then a smooth copy.
        Result<Image> whole = decodeHeif(*bytes, {});
        if (!whole) return whole.error();
        const QSize target =
            whole->bitmap().size().scaled(side, side, Qt::KeepAspectRatioByExpanding);
        if (target.width() >= whole->width()) return whole;
        return Image(
            whole->bitmap().scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    QBuffer buffer(&bytes.value());
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    readOnlyAs(reader, format);
    const QSize size = reader.size();
    if (size.isValid()) {
        reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatioByExpanding));
    }
    const ImageOrientation orientation = orientationOf(*bytes, format, reader);
    QImage bitmap = reader.read();
    if (bitmap.isNull()) {
        return imagingError(kImagingErrorUnreadable,
                            "unreadable picture: " + reader.errorString().toStdString());
    }
    convertColours(bitmap, *bytes, format, nullptr);
    return Image(std::move(bitmap), orientation);
}

Result<QByteArray> jpegRepresentation(const Image& image, double quality) {
    auto upright = uprightForEncoding(image);
    if (!upright) return upright.error();
    const QImage& bitmap = upright->bitmap();
    const bool grey = upright->pixelFormat() == PixelFormat::Grey8;
    const int sampling = grey ? TJSAMP_GRAY : TJSAMP_444;
    // The fourth byte is ignored: premultiplied colour is colour over black.
    const int pixelFormat =
        grey ? TJPF_GRAY : (Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB);
    const double q = std::isfinite(quality) ? quality : 1.0;
    const int jpegQuality = std::clamp(int(std::lround(q * 100.0)), 1, 100);
    TjHandle handle(tjInitCompress());
    if (!handle) return imagingError(kImagingErrorEncodeFailed, "the JPEG encoder could not start");
    QByteArray out;
    out.resize(qsizetype(tjBufSize(bitmap.width(), bitmap.height(), sampling)));
    auto* buffer = reinterpret_cast<unsigned char*>(out.data());
    unsigned long size = static_cast<unsigned long>(out.size());
    if (tjCompress2(handle.get(), bitmap.constBits(), bitmap.width(), int(bitmap.bytesPerLine()),
                    bitmap.height(), pixelFormat, &buffer, &size, sampling, jpegQuality,
                    TJFLAG_NOREALLOC) != 0) {
        return imagingError(kImagingErrorEncodeFailed,
                            std::string("JPEG encoding failed: ") + tjGetErrorStr2(handle.get()));
    }
    out.resize(qsizetype(size));
    return out;
}

Result<QByteArray> pngRepresentation(const Image& image) {
    auto upright = uprightForEncoding(image);
    if (!upright) return upright.error();
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(upright->bitmap())) {
        return imagingError(kImagingErrorEncodeFailed,
                            "PNG encoding failed: " + writer.errorString().toStdString());
    }
    return out;
}

}  // namespace qp
