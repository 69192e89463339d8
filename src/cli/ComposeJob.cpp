#include "cli/ComposeJob.h"

#include <fmt/format.h>

#include <numbers>

#include "editor/composition/Composition.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/PhotoSource.h"
#include "imaging/PhotoIO.h"

namespace qp {
namespace {

constexpr const char* kComposeErrorDomain = "qp.compose";
enum ComposeErrorCode { kComposeErrorZoom = 1, kComposeErrorExists = 2, kComposeErrorRender = 3 };

Error composeError(int code, std::string text) {
    return Error(kComposeErrorDomain, code, {{kLocalizedDescriptionKey, std::move(text)}});
}

}  // namespace

Result<void> composePhoto(const std::filesystem::path& photo, const std::filesystem::path& output,
                          const ComposeRecipe& recipe) {
    std::error_code ec;
    if (!recipe.force && std::filesystem::exists(output, ec)) {
        return composeError(
            kComposeErrorExists,
            fmt::format("{} already exists (--force replaces it)", output.string()));
    }

    Composition composition(recipe.device);
    composition.applyTheme(recipe.theme, recipe.background, std::nullopt);
    // Decode no more pixels than the result will show of the photo.
    const double needed = longerSidePixelsNeeded(
        composition.squareSide(), composition.screenScale(), recipe.zoom.value_or(1));
    Result<LoadedPhoto> loaded = readPhotoForSquare(photo.string(), needed);
    if (!loaded) return loaded.error();
    if (Result<void> placed = composition.placement().importPhoto(loaded->image, loaded->fullSize);
        !placed) {
        return placed.error();
    }

    // The editor's gestures, in this order, each about the square's centre.
    PhotoPlacement& placement = composition.placement();
    if (recipe.zoom) {
        placement.touchesBegan();
        if (!placement.pinchDetected(*recipe.zoom)) {
            return composeError(
                kComposeErrorZoom,
                fmt::format(
                    "zoom {} would show the photo at {:.3g} points per pixel; the cap is {} "
                    "(at most {:.3g} for this photo)",
                    *recipe.zoom, placement.totalScaleChange() * *recipe.zoom, kZoomCap,
                    kZoomCap / placement.totalScaleChange()));
        }
    }
    if (recipe.rotateDegrees) {
        placement.touchesBegan();
        placement.rotationDetected(*recipe.rotateDegrees * std::numbers::pi / 180);
    }
    if (recipe.moveResultPixels) {
        const double pointsPerPixel = composition.squareSide() / kResultSide;
        placement.panDetected({recipe.moveResultPixels->x * pointsPerPixel,
                               recipe.moveResultPixels->y * pointsPerPixel});
    }
    if (recipe.mirror) placement.actionFlipPhotoImage();

    if (!recipe.message.empty()) {
        composition.setMessage(recipe.message);
        composition.setCurrentFontSize(recipe.fontSize);
        composition.refreshTextLayer();
    }

    std::optional<Image> result = composition.makeResultImage(true);
    if (!result) return composeError(kComposeErrorRender, "the result could not be rendered");
    Result<QByteArray> bytes = encodeResult(*result, recipe.format);
    if (!bytes) return bytes.error();
    return writeFileAtomically(output.string(), *bytes);
}

}  // namespace qp
