#pragma once
// The result's size and shape as `quillpost compose --size N --aspect W:H`
// asks for them.

#include <optional>
#include <string>
#include <variant>

#include "editor/composition/ResultFrame.h"

namespace qp {

// Widths a result may have, in pixels.
inline constexpr int kSmallestResultWidth = 64;
inline constexpr int kLargestResultWidth = 4096;
// A result may be at most this much longer one way than the other.
inline constexpr double kLongestAspect = 4;
// Nor taller than this many pixels.
inline constexpr int kTallestResult = 8192;

struct FrameProblem {
    std::string text;  // what is wrong, in the options' terms
};

// The frame for `size` (empty: 612) and `aspect` ("W:H" with positive
// numbers such as 4:5 or 1.91:1; empty: 1:1).
std::variant<ResultFrame, FrameProblem> resultFrameFor(const std::optional<int>& size,
                                                       const std::string& aspect);

}  // namespace qp
