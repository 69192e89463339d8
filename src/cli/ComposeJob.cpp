#include "cli/ComposeJob.h"

#include <fmt/format.h>

#include <algorithm>
#include <numbers>

#include "editor/composition/Composition.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/PhotoSource.h"
#include "imaging/PhotoIO.h"
#include "imaging/ResultMarker.h"

namespace qp {
namespace {

constexpr const char* kComposeErrorDomain = "qp.compose";
enum ComposeErrorCode { kComposeErrorZoom = 1, kComposeErrorRender = 3 };

Error composeError(int code, std::string text) {
    return Error(kComposeErrorDomain, code, {{kLocalizedDescriptionKey, std::move(text)}});
}

// Why a pinch of `zoom` after the fit was refused: which limit it passed.
std::string zoomRefusal(double zoom, const PhotoPlacement& placement) {
    const double fit = placement.totalScaleChange();
    const double wanted = fit * zoom;
    if (wanted > kZoomCap) {
        return fmt::format(
            "--zoom {} would show the photo at {:.3g} points per photo pixel, above the cap of {} "
            "points per pixel; for this photo --zoom can be at most {:.3g}",
            zoom, wanted, kZoomCap, kZoomCap / fit);
    }
    return fmt::format(
        "--zoom {} would show the photo at {:.3g} points per photo pixel, below the floor of "
        "{:.3g}; "
        "for this photo --zoom must be at least {:.3g}",
        zoom, wanted, placement.minimumTotalScale(), placement.minimumTotalScale() / fit);
}

}  // namespace

PreparedMessage prepareMessage(const ComposeRecipe& recipe) {
    Composition composition(recipe.device, recipe.frame);
    composition.applyTheme(recipe.theme, std::nullopt, std::nullopt);
    composition.setMessage(recipe.message);
    composition.setCurrentFontSize(recipe.fontSize);
    std::optional<Image> canvas = composition.makeResultImage(false);
    return {canvas.value_or(Image()), composition.messageFit()};
}

Result<ComposedPhoto> composePhoto(const std::filesystem::path& photo,
                                   const ComposeRecipe& recipe) {
    ComposedPhoto composed;
    Result<QByteArray> bytes = readPhotoFile(photo.string(), recipe.fileLimits);
    if (!bytes) return bytes.error();
    if (carriesResultMarker(*bytes)) {
        composed.isEarlierResult = true;
        return composed;
    }

    Composition composition(recipe.device, recipe.frame);
    composition.applyTheme(recipe.theme, recipe.background, std::nullopt);
    // Decode no more pixels than the result will show of the photo.
    const Size frame = composition.frameSize();
    const double needed = longerSidePixelsNeeded(
        std::max(frame.width, frame.height), composition.snapshotScale(), recipe.zoom.value_or(1));
    Result<LoadedPhoto> loaded = decodePhotoForSquare(*bytes, needed);
    if (!loaded) return loaded.error();
    composed.warnings = std::move(loaded->warnings);
    if (Result<void> placed = composition.placement().importPhoto(loaded->image, loaded->fullSize);
        !placed) {
        return placed.error();
    }

    // The editor's gestures, in this order, each about the square's centre.
    PhotoPlacement& placement = composition.placement();
    if (recipe.zoom) {
        placement.touchesBegan();
        if (!placement.pinchDetected(*recipe.zoom)) {
            return composeError(kComposeErrorZoom, zoomRefusal(*recipe.zoom, placement));
        }
    }
    if (recipe.rotateDegrees) {
        placement.touchesBegan();
        placement.rotationDetected(*recipe.rotateDegrees * std::numbers::pi / 180);
    }
    if (recipe.moveResultPixels) {
        const double pointsPerPixel = composition.squareSide() / recipe.frame.width;
        placement.panDetected({recipe.moveResultPixels->x * pointsPerPixel,
                               recipe.moveResultPixels->y * pointsPerPixel});
    }
    if (recipe.mirror) placement.actionFlipPhotoImage();

    if (recipe.messageCanvas) {
        composition.previewSquare().textLayer().setImage(recipe.messageCanvas);
    } else if (!recipe.message.empty()) {
        composition.setMessage(recipe.message);
        composition.setCurrentFontSize(recipe.fontSize);
        composition.refreshTextLayer();
    }

    std::optional<Image> result = composition.makeResultImage(true);
    if (!result) return composeError(kComposeErrorRender, "the result could not be rendered");
    Result<QByteArray> encoded = encodeResult(
        *result, recipe.format, recipe.keepExif ? readCaptureMetadata(*bytes) : CaptureMetadata{});
    if (!encoded) return encoded.error();
    composed.encoded = std::move(*encoded);
    return composed;
}

}  // namespace qp
