#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rinex/obs_table.h"

namespace velarix {

// Spans handed out stay where they are while later ones fill further blocks, and every
// observation starts absent.
TEST(ObservationPool, SpansStayValidAcrossBlocksAndStartAbsent) {
    ObservationPool pool;
    std::vector<std::span<SatObservation>> spans;
    std::size_t total = 0;
    for (int k = 0; k < 20000; ++k) {
        const std::size_t count = 1 + k % 37;  // odd sizes, so blocks end with room left
        std::span<SatObservation> span = pool.allocate(count);
        ASSERT_EQ(span.size(), count);
        for (const SatObservation& o : span) {
            ASSERT_TRUE(o.value == 0.0 && o.obsId == kNoObsCode && o.lossOfLock == 0 && o.signalStrength == 0);
        }
        for (std::size_t i = 0; i < count; ++i) span[i].value = k * 100.0 + static_cast<double>(i);
        spans.push_back(span);
        total += count;
    }
    std::span<SatObservation> large = pool.allocate(200000);  // more than a block holds
    ASSERT_EQ(large.size(), 200000u);
    large.back().value = -1.0;
    EXPECT_TRUE(pool.allocate(0).empty());
    EXPECT_EQ(pool.size(), total + 200000u);
    for (int k = 0; k < static_cast<int>(spans.size()); ++k) {
        for (std::size_t i = 0; i < spans[k].size(); ++i) ASSERT_EQ(spans[k][i].value, k * 100.0 + static_cast<double>(i));
    }
    pool.clear();
    EXPECT_EQ(pool.size(), 0u);
}

// Blocks grow from 64 KiB by doubling up to the largest size; those of 2 MiB start on a
// 2 MiB boundary, where huge pages can back them. Single observations, so that the count
// of blocks tells their sizes.
TEST(ObservationPool, BlocksGrowToTheLargestSizeAndTheHugeOnesAreAligned) {
    ObservationPool wide;
    std::vector<const SatObservation*> firsts;  // the first observation of each block
    for (int k = 0; k < 300000; ++k) {
        const SatObservation* at = wide.allocate(1).data();
        if (wide.blockCount() > firsts.size()) firsts.push_back(at);
    }
    // 4096 + 8192 + 16384 + 32768 + 65536 + 131072 + 131072 observations of 16 bytes.
    ASSERT_EQ(wide.blockCount(), 7u);
    for (std::size_t block : {5u, 6u}) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(firsts[block]) % ObservationPool::kHugeBlockBytes, 0u) << block;
    }
    ObservationPool narrow;
    narrow.setLargestBlock(256 * 1024);
    for (int k = 0; k < 300000; ++k) narrow.allocate(1);
    EXPECT_EQ(narrow.blockCount(), 3u + (300000u - 4096u - 8192u - 16384u + 16383u) / 16384u);
}

// A released block gives its memory back: its observations belong to no block any more,
// the others keep theirs, and what is allocated after goes to a new block.
TEST(ObservationPool, BlocksAreReleasedOneByOne) {
    ObservationPool pool;
    std::vector<std::span<SatObservation>> spans;
    while (pool.blockCount() < 3) {
        spans.push_back(pool.allocate(100));
        spans.back().front().value = static_cast<double>(spans.size());
    }
    const SatObservation* inFirst = spans.front().data();
    const SatObservation* inSecond = spans[spans.size() - 2].data();
    EXPECT_EQ(pool.blockOf(inFirst), 0u);
    EXPECT_EQ(pool.blockOf(inSecond), 1u);
    EXPECT_TRUE(pool.holds(2, spans.back().data()) && !pool.holds(1, spans.back().data()));
    const SatObservation elsewhere;
    EXPECT_EQ(pool.blockOf(&elsewhere), pool.blockCount());

    pool.releaseBlock(0);
    EXPECT_EQ(pool.blockOf(inFirst), pool.blockCount());
    EXPECT_FALSE(pool.holds(0, inFirst));
    EXPECT_EQ(pool.blockOf(inSecond), 1u);
    EXPECT_EQ(spans[spans.size() - 2].front().value, static_cast<double>(spans.size() - 1));
    pool.releaseBlock(2);
    const std::span<SatObservation> after = pool.allocate(1);
    EXPECT_EQ(pool.blockOf(after.data()), 3u);
    EXPECT_EQ(after.front().value, 0.0);
}

}  // namespace velarix
