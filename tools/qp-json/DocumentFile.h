#pragma once
// Reading the files qp-json is named: only regular files (a directory makes
// the stream library throw, a device may never end).

#include <optional>
#include <string>

namespace qp {

// The whole file, or nothing with `problem` saying why in the user's terms.
std::optional<std::string> readDocumentFile(const std::string& path, std::string& problem);

}  // namespace qp
