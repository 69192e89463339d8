#include "FrameTimes.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace qp::bench {
namespace {

double processCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

}  // namespace

Stopwatch::Stopwatch()
    : m_wall(std::chrono::steady_clock::now()), m_cpu(processCpuMilliseconds()) {}

Lap Stopwatch::lap() const {
    const auto now = std::chrono::steady_clock::now();
    return {std::chrono::duration<double, std::milli>(now - m_wall).count(),
            processCpuMilliseconds() - m_cpu};
}

double FrameTimes::quantile(double q) const {
    if (m_times.empty()) return 0;
    std::vector<double> sorted = m_times;
    std::sort(sorted.begin(), sorted.end());
    const auto rank = std::size_t(std::ceil(q * double(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

}  // namespace qp::bench
