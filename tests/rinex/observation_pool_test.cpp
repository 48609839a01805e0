#include <gtest/gtest.h>

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
    std::span<SatObservation> large = pool.allocate(100000);  // more than a block holds
    ASSERT_EQ(large.size(), 100000u);
    large.back().value = -1.0;
    EXPECT_TRUE(pool.allocate(0).empty());
    EXPECT_EQ(pool.size(), total + 100000u);
    for (int k = 0; k < static_cast<int>(spans.size()); ++k) {
        for (std::size_t i = 0; i < spans[k].size(); ++i) ASSERT_EQ(spans[k][i].value, k * 100.0 + static_cast<double>(i));
    }
    pool.clear();
    EXPECT_EQ(pool.size(), 0u);
}

}  // namespace velarix
