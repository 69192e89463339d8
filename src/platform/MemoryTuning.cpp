#include "platform/MemoryTuning.h"

#include <malloc.h>

namespace qp {

namespace {
// Free memory at the top of the heap is handed back only beyond this, so a
// dropped tree of many small blocks is reused by the next one. Very large
// single blocks still come from mmap, so a growing output string keeps
// growing in place by remapping instead of copying.
constexpr int kTrimThreshold = 512 * 1024 * 1024;
}  // namespace

void tuneAllocatorForReuse() {
    mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
}

}  // namespace qp
