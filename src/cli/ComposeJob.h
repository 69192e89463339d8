#pragma once
// One photo through `quillpost compose`: read, placed as the editor places
// it, the gestures and the message applied, rendered and encoded. Where the
// bytes go is the command's business (ComposeTargets.h).

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "editor/ThemeSettings.h"
#include "editor/composition/ResultFile.h"
#include "imaging/Image.h"
#include "imaging/PhotoFile.h"
#include "platform/DeviceProfile.h"
#include "platform/Geometry.h"
#include "platform/Result.h"

namespace qp {

// Everything that is the same for every photo of one run.
struct ComposeRecipe {
    DeviceProfile device;
    ThemeSettings theme;
    std::optional<Image> background;
    std::optional<double> zoom;
    std::optional<double> rotateDegrees;
    std::optional<Point> moveResultPixels;
    bool mirror = false;
    // The photo's capture date and camera are copied into the result.
    bool keepExif = false;
    std::string message;
    double fontSize = 0;
    ResultFormat format = ResultFormat::Jpeg;
    bool force = false;
    PhotoFileLimits fileLimits;
};

struct ComposedPhoto {
    // The photo is itself a Quillpost result: nothing was made.
    bool isEarlierResult = false;
    QByteArray encoded;  // the result file's bytes
    // What was wrong with a photo that could still be used.
    std::vector<std::string> warnings;
};

// Composes `photo`; the error says why it could not.
[[nodiscard]] Result<ComposedPhoto> composePhoto(const std::filesystem::path& photo,
                                                 const ComposeRecipe& recipe);

}  // namespace qp
