#include "imaging/HeifPhoto.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "imaging/ColourConversion.h"
#include "imaging/HeifItems.h"
#include "imaging/HeifLibrary.h"

namespace qp {
namespace {

// libheif's own check of a side, made before it allocates a picture (a
// grid's canvas too, whose size the container may state apart from the
// picture's); ours of the area follows.
constexpr int kMaxSide = 32768;
// Phones tile their photos in 512-pixel squares: a 200-megapixel photo has
// under 800 tiles.
constexpr int kMaxGridTiles = 4096;

// Every function here runs after decodeHeif or heifExifTiff found the
// library loaded.
const HeifFunctions& heif() {
    return *heifFunctions();
}

Error heifError(ImagingErrorCode code, const std::string& text) {
    return Error(kImagingErrorDomain, code, {{kLocalizedDescriptionKey, text}});
}

struct ContextDeleter {
    void operator()(heif_context* context) const { heif().heif_context_free(context); }
};
struct HandleDeleter {
    void operator()(const heif_image_handle* handle) const {
        heif().heif_image_handle_release(handle);
    }
};
struct ImageDeleter {
    void operator()(const heif_image* image) const { heif().heif_image_release(image); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* options) const {
        heif().heif_decoding_options_free(options);
    }
};
using Context = std::unique_ptr<heif_context, ContextDeleter>;
using Handle = std::unique_ptr<const heif_image_handle, HandleDeleter>;
using HeifImage = std::unique_ptr<const heif_image, ImageDeleter>;

// The picture kinds libheif reads here: HEVC and AV1 items, and the grids,
// overlays and derived images built of them.
bool decodableItemType(const std::string& type) {
    for (const char* known : {"hvc1", "av01", "grid", "iovl", "iden"}) {
        if (type == known) return true;
    }
    return false;
}

// A clear error when the primary picture is coded in a way libheif cannot
// decode here (it then reports the item as missing or its codec as
// unsupported); nothing when the file is simply damaged.
std::optional<Error> unsupportedCodec(const QByteArray& bytes) {
    const auto type = heifPrimaryItemType(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                          std::size_t(bytes.size()));
    if (!type || decodableItemType(*type)) return std::nullopt;
    return heifError(kImagingErrorUnsupportedCodec,
                     "the HEIF file's picture is compressed as " + heifCodecName(*type) +
                         ", a codec Quillpost cannot decode (it reads HEVC, as phones write it, "
                         "and AV1); convert the photo to JPEG first");
}

struct Opened {
    Context context;
    Handle handle;
};

// The file's primary picture, its boxes read but nothing decoded.
Result<Opened> openPrimary(const QByteArray& bytes) {
    Opened opened{Context(heif().heif_context_alloc()), nullptr};
    if (!opened.context)
        return heifError(kImagingErrorUnreadable, "the HEIC reader could not start");
    heif().heif_context_set_maximum_image_size_limit(opened.context.get(), kMaxSide);
    heif_error error = heif().heif_context_read_from_memory_without_copy(
        opened.context.get(), bytes.constData(), std::size_t(bytes.size()), nullptr);
    if (error.code != heif_error_Ok) {
        if (auto unsupported = unsupportedCodec(bytes)) return *unsupported;
        return heifError(kImagingErrorUnreadable,
                         std::string("unreadable HEIC file: ") + error.message);
    }
    heif_image_handle* handle = nullptr;
    error = heif().heif_context_get_primary_image_handle(opened.context.get(), &handle);
    opened.handle.reset(handle);
    if (error.code != heif_error_Ok || !handle) {
        if (auto unsupported = unsupportedCodec(bytes)) return *unsupported;
        return heifError(kImagingErrorUnreadable,
                         std::string("the HEIC file has no readable picture: ") + error.message);
    }
    return opened;
}

std::string tooManyPixels(std::int64_t width, std::int64_t height, std::int64_t limit) {
    return "the picture is " + std::to_string(width) + " × " + std::to_string(height) +
           " pixels, more than the limit of " + std::to_string(limit / 1'000'000) + " megapixels";
}

Error decodeFailure(const QByteArray& bytes, const heif_error& error) {
    if (auto unsupported = unsupportedCodec(bytes)) return *unsupported;
    if (error.code == heif_error_Memory_allocation_error) {
        return heifError(kImagingErrorTooLarge, "no memory for the picture");
    }
    return heifError(kImagingErrorUnreadable,
                     std::string("corrupt or truncated HEIC picture: ") + error.message);
}

// The interleaved RGB or RGBA plane as a QImage in one of our formats.
QImage bitmapOf(const heif_image* image, bool alpha) {
    int stride = 0;
    const std::uint8_t* plane =
        heif().heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int width = heif().heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif().heif_image_get_height(image, heif_channel_interleaved);
    if (plane == nullptr || width <= 0 || height <= 0) return {};
    const QImage view(plane, width, height, stride,
                      alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    return view.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

// The curve of a stated transfer characteristic. The camera curves of
// BT.709 and its kin are shown as sRGB, as displays and viewers show them;
// curves no still photo should carry (PQ, HLG) are taken as sRGB too.
TransferCurve curveOf(heif_transfer_characteristics transfer) {
    switch (transfer) {
        case heif_transfer_characteristic_linear:
            return TransferCurve::Linear;
        case heif_transfer_characteristic_ITU_R_BT_470_6_System_M:
            return TransferCurve::Gamma22;
        case heif_transfer_characteristic_ITU_R_BT_470_6_System_B_G:
            return TransferCurve::Gamma28;
        default:
            return TransferCurve::Srgb;
    }
}

// Primaries and curve stated instead of a profile (an nclx colour box):
// pictures with primaries of their own (Display P3, BT.2020) are converted.
void applyStatedColours(QImage& bitmap, const heif_image_handle* handle,
                        std::vector<std::string>* warnings) {
    heif_color_profile_nclx* nclx = nullptr;
    if (heif().heif_image_handle_get_nclx_color_profile(handle, &nclx).code != heif_error_Ok ||
        !nclx) {
        return;
    }
    const std::unique_ptr<heif_color_profile_nclx, void (*)(heif_color_profile_nclx*)> owned(
        nclx, heif().heif_nclx_color_profile_free);
    if (nclx->color_primaries == heif_color_primaries_ITU_R_BT_709_5 ||
        nclx->color_primaries == heif_color_primaries_unspecified) {
        return;
    }
    const RgbPrimaries primaries{nclx->color_primary_red_x,   nclx->color_primary_red_y,
                                 nclx->color_primary_green_x, nclx->color_primary_green_y,
                                 nclx->color_primary_blue_x,  nclx->color_primary_blue_y,
                                 nclx->color_primary_white_x, nclx->color_primary_white_y};
    warnAbout(convertToSrgb(bitmap, primaries, curveOf(nclx->transfer_characteristics)), warnings);
}

void applyColourBox(QImage& bitmap, const heif_image_handle* handle,
                    std::vector<std::string>* warnings) {
    const heif_color_profile_type type = heif().heif_image_handle_get_color_profile_type(handle);
    if (type == heif_color_profile_type_prof || type == heif_color_profile_type_rICC) {
        EmbeddedProfile profile{EmbeddedProfile::State::Damaged, {}};
        const std::size_t size = heif().heif_image_handle_get_raw_color_profile_size(handle);
        if (size > 0 && size <= kMaxIccProfileBytes) {
            QByteArray icc(qsizetype(size), '\0');
            if (heif().heif_image_handle_get_raw_color_profile(handle, icc.data()).code ==
                heif_error_Ok) {
                profile = {EmbeddedProfile::State::Found, std::move(icc)};
            }
        }
        applyEmbeddedProfile(bitmap, profile, warnings);
        return;
    }
    applyStatedColours(bitmap, handle, warnings);
}

// Null when libheif is loaded; otherwise what the user should install.
std::optional<Error> libraryMissing() {
    std::string problem;
    if (heifFunctions(&problem)) return std::nullopt;
    return heifError(kImagingErrorUnsupportedCodec, problem);
}

}  // namespace

Result<Image> decodeHeif(const QByteArray& bytes, const DecodeOptions& options) {
    if (auto missing = libraryMissing()) return *missing;
    Result<Opened> opened = openPrimary(bytes);
    if (!opened) return opened.error();
    const heif_image_handle* handle = opened->handle.get();
    const std::int64_t width = heif().heif_image_handle_get_width(handle);
    const std::int64_t height = heif().heif_image_handle_get_height(handle);
    if (width <= 0 || height <= 0) {
        return heifError(kImagingErrorUnreadable, "the HEIC file gives no picture size");
    }
    if (width * height > options.maxPixels) {
        return heifError(kImagingErrorTooLarge, tooManyPixels(width, height, options.maxPixels));
    }
    // A grid's or overlay's canvas is as large as its own header says,
    // whatever the container states, and so is every frame the HEVC decoder
    // is asked for: both are checked before libheif allocates them.
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const HeifDerivedPictures derived = heifDerivedPictures(data, std::size_t(bytes.size()));
    for (const auto& stated : {std::optional(derived.largestCanvas),
                               heifLargestCodedSize(data, std::size_t(bytes.size()))}) {
        if (stated && stated->width * stated->height > options.maxPixels) {
            return heifError(kImagingErrorTooLarge,
                             tooManyPixels(stated->width, stated->height, options.maxPixels));
        }
    }
    if (derived.mostTiles > kMaxGridTiles) {
        return heifError(kImagingErrorUnreadable,
                         "the HEIC picture is a grid of " + std::to_string(derived.mostTiles) +
                             " tiles, more than the " + std::to_string(kMaxGridTiles) +
                             " a photo is made of");
    }

    const bool alpha = heif().heif_image_handle_has_alpha_channel(handle) != 0;
    std::unique_ptr<heif_decoding_options, OptionsDeleter> decoding(
        heif().heif_decoding_options_alloc());
    if (!decoding) return heifError(kImagingErrorTooLarge, "no memory for the picture");
    decoding->ignore_transformations = 0;  // the container's rotation and mirror turn it upright
    decoding->convert_hdr_to_8bit = 1;
    heif_image* decoded = nullptr;
    const heif_error error = heif().heif_decode_image(
        handle, &decoded, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, decoding.get());
    const HeifImage image(decoded);
    if (error.code != heif_error_Ok || !decoded) return decodeFailure(bytes, error);

    QImage bitmap = bitmapOf(decoded, alpha);
    if (bitmap.isNull()) return heifError(kImagingErrorTooLarge, "no memory for the picture");
    // The coded picture may be larger than the size its container states.
    if (std::int64_t(bitmap.width()) * bitmap.height() > options.maxPixels) {
        return heifError(kImagingErrorTooLarge,
                         tooManyPixels(bitmap.width(), bitmap.height(), options.maxPixels));
    }
    applyColourBox(bitmap, handle, options.warnings);
    return Image(std::move(bitmap), ImageOrientation::Up);
}

QByteArray heifExifTiff(const QByteArray& bytes) {
    if (!heifFunctions()) return {};
    Result<Opened> opened = openPrimary(bytes);
    if (!opened) return {};
    const heif_image_handle* handle = opened->handle.get();
    heif_item_id id = 0;
    if (heif().heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) < 1)
        return {};
    const std::size_t size = heif().heif_image_handle_get_metadata_size(handle, id);
    if (size < 4 || size > kMaxIccProfileBytes) return {};
    QByteArray block(qsizetype(size), '\0');
    if (heif().heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok)
        return {};
    // A big-endian offset from the end of this field to the TIFF header
    // (past an "Exif\0\0" prefix, usually).
    const auto* p = reinterpret_cast<const std::uint8_t*>(block.constData());
    const std::size_t offset =
        std::size_t(p[0]) << 24 | std::size_t(p[1]) << 16 | std::size_t(p[2]) << 8 | p[3];
    if (offset > size - 4) return {};
    return block.mid(qsizetype(4 + offset));
}

}  // namespace qp
