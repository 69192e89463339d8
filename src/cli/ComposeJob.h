#pragma once
// One photo through `quillpost compose`: read, placed as the editor places
// it, the gestures and the message applied, rendered and encoded. Where the
// bytes go is the command's business (ComposeTargets.h).

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "editor/ThemeSettings.h"
#include "editor/composition/MessageFitting.h"
#include "editor/composition/ResultFile.h"
#include "editor/composition/ResultFrame.h"
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
    ResultFrame frame;
    // Photos composed at once.
    int jobs = 1;
    // The message drawn once for the run (prepareMessage); when absent it
    // is drawn for each photo.
    std::optional<Image> messageCanvas;
    bool force = false;
    PhotoFileLimits fileLimits;
    // Said once on standard error before the photos are composed.
    std::vector<std::string> notes;
};

struct ComposedPhoto {
    // The photo is itself a Quillpost result: nothing was made.
    bool isEarlierResult = false;
    QByteArray encoded;  // the result file's bytes
    // What was wrong with a photo that could still be used.
    std::vector<std::string> warnings;
};

// The recipe's message on its canvas, as every photo of the run shows it,
// and how it was fitted into the theme's box. Needs the font system.
struct PreparedMessage {
    Image canvas;
    MessageFit fit;
};
PreparedMessage prepareMessage(const ComposeRecipe& recipe);

// Composes `photo`; the error says why it could not. Safe to run for
// several photos at once on threads of their own.
[[nodiscard]] Result<ComposedPhoto> composePhoto(const std::filesystem::path& photo,
                                                 const ComposeRecipe& recipe);

}  // namespace qp
