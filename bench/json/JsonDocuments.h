#pragma once
// Large JSON documents for the codec benchmarks, generated from a fixed seed
// so every run and every library sees the same bytes.

#include <string>

namespace qp::bench {

std::string stringHeavyDocument();
std::string numberHeavyDocument();
std::string deeplyNestedDocument();
std::string apiAnswerDocument();

}  // namespace qp::bench
