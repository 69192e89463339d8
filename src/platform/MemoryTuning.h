#pragma once
// Allocator settings for a program that repeatedly builds and drops large
// structures (decoded photos, parsed JSON trees): freed memory stays with the
// process for reuse instead of going back to the system, whose fresh pages
// cost a fault each on first write.

namespace qp {

// Call once, early in main. Safe to call again.
void tuneAllocatorForReuse();

}  // namespace qp
