#include "json/JsonErrors.h"

#include <fmt/format.h>

namespace qp {
namespace {

std::string replaceFirst(std::string_view text, std::string_view placeholder,
                         std::string_view argument) {
    std::string result(text);
    const std::size_t at = result.find(placeholder);
    if (at != std::string::npos) result.replace(at, placeholder.size(), argument);
    return result;
}

}  // namespace

std::string fillJsonErrorText(std::string_view text, std::string_view argument) {
    return replaceFirst(text, "%@", argument);
}

std::string fillJsonErrorText(std::string_view text, unsigned value) {
    return replaceFirst(text, "%x", fmt::format("{:x}", value));
}

}  // namespace qp
