// The pieces of the bias stage on exact inputs: the 2-sigma curve, the 3-minute grid and
// its gaps, and the interchannel rule.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "gnss/bias/bias_grid.h"
#include "gnss/bias/interchannel_bias.h"
#include "gnss/bias/two_sigma.h"
#include "platform/strfmt.h"

namespace velarix {

TEST(TwoSigmaItr, TrimsOutliersSmoothsNeighboursAndRefusesAnOverfullBin) {
    // Bin 0.0-0.1 h: nine values of 10 and an outlier; bin 0.1-0.2 h: 20; bin 0.2-0.3 h: 40;
    // the next day's midnight takes no bin.
    std::vector<double> hours(10, 0.05), values(9, 10.0);
    values.push_back(100.0);
    hours.insert(hours.end(), {0.12, 0.18, 0.25, 0.26, 24.0});
    values.insert(values.end(), {19.0, 21.0, 40.0, 40.0, 500.0});
    TwoSigmaCurve curve;
    ASSERT_EQ(TwoSigmaItr(hours, values, kTenthHourBins, curve), 3);
    // The middle bin is smoothed with its neighbours (10 / 4 + 20 / 2 + 40 / 4), the ends
    // are their bins' own averages, the outlier gone. Every bin of the day is kept.
    ASSERT_EQ(curve.bins.size(), 240u);
    const auto bin = [&curve](std::size_t b) {
        const TwoSigmaBin& x = curve.bins[b];
        return strfmt("%2.3f %2.2f %2.2f %2.2f %d", x.hour, x.smoothed_TECU, x.average_TECU, x.spread_TECU, x.count);
    };
    EXPECT_EQ(bin(0) + "|" + bin(1) + "|" + bin(2),
              "0.050 10.00 10.00 0.00 10|0.150 22.50 20.00 1.41 2|0.250 40.00 40.00 0.00 2");
    EXPECT_EQ(bin(3), "0.350 0.00 0.00 0.00 0");
    EXPECT_TRUE(curve.pointAt(0.12) == &curve.bins[1] && curve.pointAt(0.35) == nullptr &&
                curve.pointAt(24.0) == nullptr);

    std::vector<double> full(kTwoSigmaBinCapacity, 3.0), fullHours(kTwoSigmaBinCapacity, 5.05);
    EXPECT_EQ(TwoSigmaItr(fullHours, full, kTenthHourBins, curve), 1);
    full.push_back(3.0);
    fullHours.push_back(5.01);
    EXPECT_EQ(TwoSigmaItr(fullHours, full, kTenthHourBins, curve), kTwoSigmaBinOverflow);
    EXPECT_EQ(curve.filledBins(), 1);  // left as it was
}

TEST(BiasGrid, KeepsOneValidRecordEveryThreeMinutesAndFindsHourLongGaps) {
    constexpr double kDay = 58849.0;
    TecTable tec;
    for (int s = 0; s <= 10800; s += 30) {
        if (s <= 3600 || s > 7200) tec[5][kDay + s / 86400.0].epochMjd = kDay + s / 86400.0;  // a gap over an hour
    }
    tec[5].begin()->second.valid = 0;  // the grid starts at the first valid record
    tec[9][kDay].valid = 0;            // no valid record: no series
    const TecTable grid = ResampleToGrid(tec, GridTolerance_day(30.0));
    ASSERT_EQ(grid.size(), 1u);
    const TecSeries& s = grid.at(5);
    EXPECT_NEAR(s.begin()->first, kDay + 30.0 / 86400.0, 1e-12);
    EXPECT_EQ(s.size(), 40u);  // 00:00:30 .. 00:57:30 every 3 minutes, then 02:00:30 .. 02:57:30

    const std::vector<DataGap> gaps = FindGaps(s);
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_TRUE(SegmentIndex(gaps, gaps[0].startMjd) == 0 && SegmentIndex(gaps, gaps[0].endMjd) == 1);
    // More than ten gaps are not recorded; short series have no segments.
    TecSeries many;
    for (int k = 0; k < 30; ++k) many[kDay + k * 0.07].epochMjd = kDay + k * 0.07;
    EXPECT_EQ(FindGaps(many).size(), kMaxGapsPerSatellite);
    many = TecSeries(many.begin(), std::next(many.begin(), 10));
    EXPECT_TRUE(FindGaps(many).empty());
}

TEST(InterchannelCorrection, ActsOnlyOnClearOffsetsAndEnlargesLargeNegativeOnes) {
    // Differences and their counts at 45, 20 and 10 deg, and the correction they call for.
    const struct { double high; int nHigh; double mid; int nMid; double low; int nLow; double expected; } cases[] = {
        {-3.5, 20, -3.5, 20, -3.5, 20, -3.5},
        {-3.0, 20, -3.0, 20, 0.0, 0, 0.0},  // not below -3
        {3.5, 20, 3.5, 20, 0.0, 0, 0.0},    // not above 3.5
        {-22.0, 10, 0.0, 0, 0.0, 0, -22.0 * 1.25},
        {-12.0, 10, -12.0, 90, 0.0, 0, -12.0 * 1.2},  // few high samples: the 15-deg mean decides
        {0.0, 0, 0.0, 0, -21.0, 5, -21.0 * 1.4},      // low samples only: the mean of all
    };
    for (const auto& c : cases) {
        CurveDifferences d;
        for (int k = 0; k < c.nHigh; ++k) d.add(c.high, 45.0);
        for (int k = 0; k < c.nMid; ++k) d.add(c.mid, 20.0);
        for (int k = 0; k < c.nLow; ++k) d.add(c.low, 10.0);
        EXPECT_DOUBLE_EQ(InterchannelCorrection(d), c.expected) << c.high << " " << c.mid << " " << c.low;
    }
}

}  // namespace velarix
