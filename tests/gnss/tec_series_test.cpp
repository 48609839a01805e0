#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "gnss/tec/tec_table.h"

namespace velarix {

namespace {

TecRecord recordOf(double epochMjd, double slant) {
    TecRecord r;
    r.epochMjd = epochMjd;
    r.slantTec = slant;
    return r;
}

}  // namespace

// The series behaves as the map it replaced: unique epochs in ascending order whatever
// the order they came in, the first record of an epoch kept, lookups by epoch.
TEST(TecSeries, KeepsEpochsUniqueAndAscendingAsAMapDoes) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> epoch(0, 400);
    TecSeries series;
    std::map<double, TecRecord> reference;
    for (int k = 0; k < 2000; ++k) {
        // Mostly in order, as files hold them, with some late and repeated epochs.
        const double t = 58849.0 + (k % 5 == 0 ? epoch(random) : k) / 2880.0;
        const bool added = series.emplace(t, recordOf(t, k)).second;
        EXPECT_EQ(added, reference.emplace(t, recordOf(t, k)).second) << k;
    }
    ASSERT_EQ(series.size(), reference.size());
    auto expected = reference.begin();
    for (const auto& [t, r] : series) {
        ASSERT_EQ(t, expected->first);
        ASSERT_EQ(r.slantTec, expected->second.slantTec) << "the first record of an epoch is kept";
        ++expected;
    }
    const double held = reference.rbegin()->first;
    EXPECT_EQ(series.count(held), 1u);
    EXPECT_EQ(series.at(held).slantTec, reference.at(held).slantTec);
    EXPECT_EQ(series.rbegin()->first, held);
    EXPECT_EQ(series.count(held + 1.0), 0u);
    EXPECT_EQ(series.find(held + 1.0), series.end());
    EXPECT_THROW((void)series.at(held + 1.0), std::out_of_range);

    // Changed in place through the iterators and by epoch.
    for (auto& [t, r] : series) r.verticalTec = t;
    series[held].s4 = 0.5;
    EXPECT_EQ(series.at(held).s4, 0.5);
    EXPECT_EQ(series.begin()->second.verticalTec, series.begin()->first);

    // A copy of a range, as the bias stage takes the first records of a satellite.
    const TecSeries firstTen(series.begin(), std::next(series.begin(), 10));
    ASSERT_EQ(firstTen.size(), 10u);
    EXPECT_EQ(firstTen.rbegin()->first, std::next(series.begin(), 9)->first);
    series.reserve(series.size() + 100);
    series.shrink();
    EXPECT_EQ(series.size(), reference.size());
}

}  // namespace velarix
