#pragma once
// Images that ship with the app, found by file name in resources/images/.
// Looked up anew on each call: nothing is cached.

#include <filesystem>
#include <optional>
#include <string>

#include "imaging/Image.h"

namespace qp {

// The file for `name`; a name without an extension also finds "<name>.png".
// Names that would leave the folder ("..", slashes) find nothing.
std::optional<std::filesystem::path> resourceImagePath(const std::filesystem::path& resources,
                                                       const std::string& name);

// The decoded image, or nullopt when the file is missing or unreadable.
std::optional<Image> resourceImageNamed(const std::filesystem::path& resources,
                                        const std::string& name);

}  // namespace qp
