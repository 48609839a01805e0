#include "platform/memory_reuse.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>

using namespace velarix;

// A day-sized block (8 MiB) comes from the heap once the setting is made, not from a
// mapping of its own that is given back to the system when it is freed.
TEST(MemoryReuse, DaySizedBlocksComeFromTheHeapAndStayThere) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer has an allocator of its own, which takes no C library settings";
#endif
    ASSERT_TRUE(KeepFreedMemoryForReuse());
    const std::size_t mappedBefore = mallinfo2().hblks;
    constexpr std::size_t kBlock = 8u << 20;
    void* block = std::malloc(kBlock);
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, kBlock);
    EXPECT_EQ(mallinfo2().hblks, mappedBefore);
    std::free(block);
    // Freed, the block stays with the heap for the next day.
    EXPECT_GE(mallinfo2().fordblks, kBlock);
}
