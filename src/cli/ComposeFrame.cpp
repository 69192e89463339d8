#include "cli/ComposeFrame.h"

#include <fmt/format.h>

#include <cmath>
#include <optional>

namespace qp {
namespace {

// A whole decimal number above zero, nothing before or after it.
std::optional<double> positiveNumber(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) {
        return std::nullopt;
    }
    try {
        std::size_t used = 0;
        const double value = std::stod(text, &used);
        if (used != text.size() || !std::isfinite(value) || !(value > 0)) return std::nullopt;
        return value;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

std::variant<ResultFrame, FrameProblem> resultFrameFor(const std::optional<int>& size,
                                                       const std::string& aspect) {
    ResultFrame frame;
    if (size) {
        if (*size < kSmallestResultWidth || *size > kLargestResultWidth) {
            return FrameProblem{fmt::format("--size takes the result's width in pixels, {} to {}",
                                            kSmallestResultWidth, kLargestResultWidth)};
        }
        frame.width = *size;
    }
    if (!aspect.empty()) {
        const std::size_t colon = aspect.find(':');
        const auto w = positiveNumber(aspect.substr(0, colon));
        // No colon reads as an empty height, which is no positive number.
        const auto h =
            positiveNumber(colon == std::string::npos ? std::string() : aspect.substr(colon + 1));
        if (!w || !h || *w / *h > kLongestAspect || *h / *w > kLongestAspect) {
            return FrameProblem{fmt::format(
                "--aspect takes WIDTH:HEIGHT with numbers above 0, for example 4:5, 16:9 or "
                "1.91:1, at most {0}:1 or 1:{0}",
                kLongestAspect)};
        }
        frame.aspectWidth = *w;
        frame.aspectHeight = *h;
    }
    if (frame.height() > kTallestResult) {
        return FrameProblem{fmt::format(
            "--size {} at --aspect {} would make the result {} pixels tall; at most {} are "
            "allowed, so choose a smaller --size",
            frame.width, aspect, frame.height(), kTallestResult)};
    }
    return frame;
}

}  // namespace qp
