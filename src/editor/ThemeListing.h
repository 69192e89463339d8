#pragma once
// The text that `quillpost themes` prints: every bundled category with its
// tag, marker and name, and each theme's button tag and name.

#include <filesystem>
#include <string>

namespace qp {

std::string themeListing(const std::filesystem::path& resources);

}  // namespace qp
