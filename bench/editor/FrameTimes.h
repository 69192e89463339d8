#pragma once
// Per-frame times of one contender, summarised as the goals are stated,
// and a stopwatch that reads both the wall clock and the process's CPU time
// (all its threads: Qt may spread a large fill over its thread pool). On a
// busy machine the wall clock also counts the time other processes held the
// CPU, which a frame on an idle machine would not wait; the CPU time leaves
// out waiting for the disk too.

#include <chrono>
#include <vector>

namespace qp::bench {

class FrameTimes {
public:
    void add(double milliseconds) { m_times.push_back(milliseconds); }
    std::size_t count() const { return m_times.size(); }
    // The value at quantile `q` (0.5 the median, 0.99 the 99th percentile),
    // nearest rank; 0 with no samples.
    double quantile(double q) const;
    double median() const { return quantile(0.5); }
    double p99() const { return quantile(0.99); }

private:
    std::vector<double> m_times;
};

struct Lap {
    double wall = 0;  // ms
    double cpu = 0;   // ms of the process's CPU time
};

class Stopwatch {
public:
    Stopwatch();
    Lap lap() const;

private:
    std::chrono::steady_clock::time_point m_wall;
    double m_cpu;
};

// Wall-clock and CPU-time samples of one contender.
struct LapTimes {
    FrameTimes wall;
    FrameTimes cpu;
    void add(Lap lap) {
        wall.add(lap.wall);
        cpu.add(lap.cpu);
    }
};

}  // namespace qp::bench
