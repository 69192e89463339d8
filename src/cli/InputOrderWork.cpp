#include "cli/InputOrderWork.h"

#include <sched.h>

namespace qp {

int processorCount() {
    // The affinity mask, not the machine's count: a container or `taskset`
    // may allow fewer.
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof(set), &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1, int(std::thread::hardware_concurrency()));
}

}  // namespace qp
