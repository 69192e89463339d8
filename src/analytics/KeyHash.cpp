#include "analytics/KeyHash.h"

namespace qp {

namespace {

constexpr std::uint32_t kFnvOffsetBasis = 2166136261u;
constexpr std::uint32_t kFnvPrime = 16777619u;

}  // namespace

std::int32_t usageKeyHash(std::string_view apiKey) {
    std::uint32_t hash = kFnvOffsetBasis;
    for (const char ch : apiKey) {
        hash ^= static_cast<std::uint8_t>(ch);
        hash *= kFnvPrime;
    }
    return static_cast<std::int32_t>(hash & 0x7FFFFFFFu);
}

std::string removeSpaces(std::string_view apiKey) {
    std::string out;
    out.reserve(apiKey.size());
    for (const char ch : apiKey) {
        if (ch != ' ') out.push_back(ch);
    }
    return out;
}

}  // namespace qp
