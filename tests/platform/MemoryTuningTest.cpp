// The allocator keeps large blocks on its heap for reuse instead of mapping
// each one afresh.

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <cstring>

#include "platform/MemoryTuning.h"

namespace qp {
namespace {

TEST(MemoryTuning, LargeBlocksComeFromTheHeapAndAreReused) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer's allocator replaces glibc's";
#endif
    tuneAllocatorForReuse();
    for (const std::size_t size : {std::size_t(1) << 20, std::size_t(8) << 20}) {
        const int mappedBefore = mallinfo2().hblks;
        void* block = std::malloc(size);
        ASSERT_NE(block, nullptr);
        std::memset(block, 1, size);
        EXPECT_EQ(mallinfo2().hblks, mappedBefore) << size << " bytes were mapped on their own";
        std::free(block);
        // Freed, the memory stays with the process for the next block.
        const std::size_t kept = mallinfo2().fordblks;
        EXPECT_GE(kept, size) << size;
    }
}

}  // namespace
}  // namespace qp
