#pragma once
// A small seeded generator so every run draws the same pixels.

#include <cstdint>

namespace art {

class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed ? seed : 0x9e3779b97f4a7c15ull) {}

    std::uint64_t next() {
        // xorshift64*
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545f4914f6cdd1dull;
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
    double range(double low, double high) { return low + (high - low) * unit(); }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t m_state;
};

}  // namespace art
