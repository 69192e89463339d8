#pragma once
// The number in the names of the usage files: a stable hash of the API key,
// the same on every run, machine and build (std::hash promises none of that).
// It is the 32-bit FNV-1a hash of the key's UTF-8 bytes (offset basis
// 2166136261, prime 16777619) with the top bit cleared, so it prints as a
// non-negative decimal.

#include <cstdint>
#include <string>
#include <string_view>

namespace qp {

std::int32_t usageKeyHash(std::string_view apiKey);

// The key as stored and reported: every space character removed.
std::string removeSpaces(std::string_view apiKey);

}  // namespace qp
