#include "editor/ResourceImages.h"

#include "editor/ThemeKeys.h"
#include "imaging/PhotoIO.h"
#include "platform/Log.h"
#include "platform/Paths.h"

namespace qp {

std::optional<std::filesystem::path> resourceImagePath(const std::filesystem::path& resources,
                                                       const std::string& name) {
    const Paths paths({}, resources);
    if (std::optional<std::filesystem::path> path =
            paths.pathForResource(name, {}, kImagesFolder)) {
        return path;
    }
    if (std::filesystem::path(name).has_extension()) return std::nullopt;
    return paths.pathForResource(name, "png", kImagesFolder);
}

std::optional<Image> resourceImageNamed(const std::filesystem::path& resources,
                                        const std::string& name) {
    const std::optional<std::filesystem::path> path = resourceImagePath(resources, name);
    if (!path) return std::nullopt;
    Result<Image> image = readPhoto(path->string());
    if (!image) {
        logf("theme catalogue: cannot read image {}: {}", path->string(), image.error().toString());
        return std::nullopt;
    }
    return std::move(image).value();
}

}  // namespace qp
