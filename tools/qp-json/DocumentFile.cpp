#include "DocumentFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace qp {

std::optional<std::string> readDocumentFile(const std::string& path, std::string& problem) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) {
        problem = "cannot read '" + path + "'";
        return std::nullopt;
    }
    if (!std::filesystem::is_regular_file(status)) {
        problem = "cannot read '" + path + "': it is not a regular file";
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        problem = "cannot read '" + path + "'";
        return std::nullopt;
    }
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) {
        problem = "cannot read '" + path + "'";
        return std::nullopt;
    }
    return text;
}

}  // namespace qp
