#pragma once
// qp-json --bench: how fast the codec reads and writes given files.

#include <ostream>
#include <string>
#include <vector>

namespace qp::tools {

// For each file, one line "<file> parse <X> MB/s write <Y> MB/s": the median
// over `runs` timed reads of the file and `runs` timed writes of its value,
// in megabytes of the file per second of the thread's processor time.
// Answers the exit status: 0, 1 when a file is not JSON, 2 when one cannot
// be read (the reason goes to `errors`, and the other files are still timed).
int runBench(const std::vector<std::string>& paths, int runs, std::ostream& out,
             std::ostream& errors);

}  // namespace qp::tools
