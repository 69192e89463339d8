#pragma once
// One photo through `quillpost compose`: read, placed as the editor places
// it, the gestures and the message applied, rendered and written.

#include <filesystem>
#include <optional>
#include <string>

#include "editor/ThemeSettings.h"
#include "editor/composition/ResultFile.h"
#include "imaging/Image.h"
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
    std::string message;
    double fontSize = 0;
    ResultFormat format = ResultFormat::Jpeg;
    bool force = false;
};

// Composes `photo` into `output`; the error says why it could not.
[[nodiscard]] Result<void> composePhoto(const std::filesystem::path& photo,
                                        const std::filesystem::path& output,
                                        const ComposeRecipe& recipe);

}  // namespace qp
