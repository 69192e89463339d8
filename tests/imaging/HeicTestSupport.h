#pragma once
// HEIC files made inside tests with libheif's own HEVC encoder: a stored
// bitmap with the container's orientation, a colour profile and an EXIF block.

#include <libheif/heif.h>

#include <QByteArray>
#include <QImage>
#include <memory>

namespace qp::test {

struct HeicOptions {
    int exifOrientation = 1;  // written as the container's rotation and mirror
    QByteArray icc;           // a "prof" colour box when not empty
    QByteArray exifTiff;      // an EXIF item when not empty
};

inline HeicOptions heicOriented(int exifOrientation) {
    HeicOptions options;
    options.exifOrientation = exifOrientation;
    return options;
}
inline HeicOptions heicWithIcc(const QByteArray& icc) {
    HeicOptions options;
    options.icc = icc;
    return options;
}
inline HeicOptions heicWithExif(const QByteArray& tiff) {
    HeicOptions options;
    options.exifTiff = tiff;
    return options;
}

// HEVC at the highest quality; empty when encoding fails.
inline QByteArray encodeHeic(const QImage& stored, const HeicOptions& options = {}) {
    const QImage rgb = stored.convertToFormat(QImage::Format_RGB888);
    std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(),
                                                                   heif_context_free);
    heif_image* raw = nullptr;
    if (heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB,
                          heif_chroma_interleaved_RGB, &raw)
            .code != heif_error_Ok) {
        return {};
    }
    std::unique_ptr<heif_image, void (*)(const heif_image*)> image(raw, heif_image_release);
    heif_image_add_plane(raw, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(raw, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y) {
        std::memcpy(plane + y * stride, rgb.constScanLine(y), std::size_t(rgb.width()) * 3);
    }
    if (!options.icc.isEmpty()) {
        heif_image_set_raw_color_profile(raw, "prof", options.icc.constData(),
                                         std::size_t(options.icc.size()));
    }
    heif_encoder* encoder = nullptr;
    if (heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &encoder).code !=
        heif_error_Ok) {
        return {};
    }
    heif_encoder_set_lossy_quality(encoder, 100);
    heif_encoding_options* encoding = heif_encoding_options_alloc();
    encoding->image_orientation = heif_orientation(options.exifOrientation);
    heif_image_handle* handle = nullptr;
    const heif_error encoded =
        heif_context_encode_image(context.get(), raw, encoder, encoding, &handle);
    heif_encoding_options_free(encoding);
    heif_encoder_release(encoder);
    if (encoded.code != heif_error_Ok) return {};
    if (!options.exifTiff.isEmpty()) {
        heif_context_add_exif_metadata(context.get(), handle, options.exifTiff.constData(),
                                       int(options.exifTiff.size()));
    }
    heif_image_handle_release(handle);

    QByteArray out;
    heif_writer writer{};
    writer.writer_api_version = 1;
    writer.write = [](heif_context*, const void* data, size_t size, void* target) {
        static_cast<QByteArray*>(target)->append(static_cast<const char*>(data), qsizetype(size));
        return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
    };
    if (heif_context_write(context.get(), &writer, &out).code != heif_error_Ok) return {};
    return out;
}

}  // namespace qp::test
