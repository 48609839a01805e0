// The pieces of the bias stage on exact inputs: the 2-sigma curve, the 3-minute grid and
// its gaps, the interchannel rule and the minimum-spread search.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "gnss/bias_grid.h"
#include "gnss/interchannel_bias.h"
#include "gnss/rx_bias_stage1.h"
#include "gnss/two_sigma.h"

TEST(TwoSigmaItr, TrimsOutliersSmoothsNeighboursAndRefusesAnOverfullBin) {
    // Bin 0.0-0.1 h: nine values of 10 and an outlier; bin 0.1-0.2 h: 20; bin 0.2-0.3 h: 30.
    std::vector<double> hours(10, 0.05);
    std::vector<double> values(9, 10.0);
    values.push_back(100.0);
    hours.insert(hours.end(), {0.12, 0.18, 0.25, 0.26});
    values.insert(values.end(), {19.0, 21.0, 30.0, 30.0});
    hours.push_back(24.0);  // the next day's midnight takes no bin
    values.push_back(500.0);
    TwoSigmaCurve curve;
    std::string text;
    ASSERT_EQ(TwoSigmaItr(hours, values, kTenthHourBins, curve, text), 3);
    EXPECT_DOUBLE_EQ(curve.points[0].tec, 10.0);  // first bin: its own average, outlier gone
    EXPECT_DOUBLE_EQ(curve.points[1].tec, 0.25 * 10.0 + 0.5 * 20.0 + 0.25 * 30.0);
    EXPECT_DOUBLE_EQ(curve.points[2].tec, 30.0);  // last bin
    EXPECT_DOUBLE_EQ(curve.points[1].hour, 0.15);
    EXPECT_EQ(text.substr(0, 78), "0.050 \t10.00 \t10.00 \t0.00\n0.150 \t20.00 \t20.00 \t1.41\n0.250 \t30.00 \t30.00 \t0.00\n");
    EXPECT_NE(text.find("\n0.350 \t- \t- \t0.00\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(curve.pointAt(0.199)->hour, 0.15);
    EXPECT_EQ(curve.pointAt(0.31), nullptr);

    TwoSigmaCurve minutes;
    std::string minuteText;
    ASSERT_EQ(TwoSigmaItr({0.01, 0.02}, {4.0, 6.0}, kMinuteBins, minutes, minuteText), 2);
    EXPECT_EQ(std::count(minuteText.begin(), minuteText.end(), '\n'), 1440);

    std::vector<double> full(kTwoSigmaBinCapacity, 3.0);
    std::vector<double> fullHours(kTwoSigmaBinCapacity, 5.05);
    EXPECT_EQ(TwoSigmaItr(fullHours, full, kTenthHourBins, curve, text), 1);
    full.push_back(3.0);
    fullHours.push_back(5.01);
    EXPECT_EQ(TwoSigmaItr(fullHours, full, kTenthHourBins, curve, text), kTwoSigmaBinOverflow);
    EXPECT_EQ(curve.points.size(), 1u);  // left as it was
}

TEST(BiasGrid, KeepsOneValidRecordEveryThreeMinutesAndFindsHourLongGaps) {
    constexpr double kDay = 58849.0;
    EXPECT_DOUBLE_EQ(GridTolerance_day(30.0), 9.0 / 86400.0);
    EXPECT_DOUBLE_EQ(GridTolerance_day(120.0), 48.0 / 86400.0);
    TecTable tec;
    auto add = [&](int satNo, int from_s, int to_s) {
        for (int s = from_s; s <= to_s; s += 30) tec[satNo][kDay + s / 86400.0].epochMjd = kDay + s / 86400.0;
    };
    add(5, 0, 3600);            // 0 .. 1 h
    add(5, 2 * 3600 + 30, 10800);  // after a gap of more than an hour, on the grid
    tec[5].begin()->second.valid = 0;  // the grid starts at the first valid record
    add(9, 0, 0);
    tec[9].begin()->second.valid = 0;  // no valid record: no series

    const TecTable grid = ResampleToGrid(tec, GridTolerance_day(30.0));
    ASSERT_EQ(grid.size(), 1u);
    const TecSeries& s = grid.at(5);
    EXPECT_NEAR(s.begin()->first, kDay + 30.0 / 86400.0, 1e-12);
    EXPECT_NEAR(std::next(s.begin())->first - s.begin()->first, kGridStep_day, 1e-9);
    EXPECT_EQ(s.size(), 40u);  // 00:00:30 .. 00:57:30, then 02:00:30 .. 02:57:30

    const std::vector<DataGap> gaps = FindGaps(s);
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_LT(gaps[0].startMjd, kDay + 1.0 / 24.0);
    EXPECT_EQ(SegmentIndex(gaps, gaps[0].startMjd), 0u);
    EXPECT_EQ(SegmentIndex(gaps, gaps[0].endMjd), 1u);
    SatelliteSegments segments{gaps, {1.5, -2.5}};
    EXPECT_EQ(segments.correctionAt(kDay + 2.5 / 24.0), -2.5);

    // Short series have no segments; more than ten gaps are not recorded.
    TecSeries many;
    for (int k = 0; k < 30; ++k) many[kDay + k * 0.07].epochMjd = kDay + k * 0.07;
    EXPECT_EQ(FindGaps(many).size(), kMaxGapsPerSatellite);
    many.erase(std::next(many.begin(), 10), many.end());
    EXPECT_TRUE(FindGaps(many).empty());
}

TEST(InterchannelCorrection, ActsOnlyOnClearOffsetsAndEnlargesLargeNegativeOnes) {
    auto differences = [](double high, int nHigh, double mid, int nMid, double low, int nLow) {
        CurveDifferences d;
        for (int k = 0; k < nHigh; ++k) d.add(high, 45.0);
        for (int k = 0; k < nMid; ++k) d.add(mid, 20.0);
        for (int k = 0; k < nLow; ++k) d.add(low, 10.0);
        return d;
    };
    EXPECT_DOUBLE_EQ(InterchannelCorrection(differences(-3.5, 20, -3.5, 20, -3.5, 20)), -3.5);
    EXPECT_EQ(InterchannelCorrection(differences(-3.0, 20, -3.0, 20, 0.0, 0)), 0.0);  // not below -3
    EXPECT_EQ(InterchannelCorrection(differences(3.5, 20, 3.5, 20, 0.0, 0)), 0.0);    // not above 3.5
    EXPECT_DOUBLE_EQ(InterchannelCorrection(differences(-22.0, 10, -22.0, 0, 0.0, 0)), -22.0 * 1.25);
    EXPECT_DOUBLE_EQ(InterchannelCorrection(differences(-30.0, 10, -30.0, 0, 0.0, 0)), -30.0 * 1.45);
    // Few high samples: the 15-deg mean decides (-12 over 100 samples, enlarged by 1.2).
    EXPECT_DOUBLE_EQ(InterchannelCorrection(differences(-12.0, 10, -12.0, 90, 0.0, 0)), -12.0 * 1.2);
    // Low samples only: the mean of all, enlarged by 1.4 from -25 to -20.
    EXPECT_DOUBLE_EQ(InterchannelCorrection(differences(0.0, 0, 0.0, 0, -21.0, 5)), -21.0 * 1.4);
    EXPECT_EQ(InterchannelCorrection(differences(0.0, 0, 0.0, 0, 2.5, 5)), 0.0);
    EXPECT_EQ(InterchannelCorrection(CurveDifferences{}), 0.0);
}

TEST(MinimumSpreadBias, FindsTheBiasToATenthAndNeedsTwoValuesInAWindow) {
    // Two satellites at 80 and 30 deg-like mapping factors see 10 TECU; the slant carries -123.4.
    std::vector<SpreadSample> samples;
    for (int k = 0; k < 50; ++k) {
        const double epoch = 58849.0 + k * kGridStep_day;
        samples.push_back({epoch, 10.0 / 0.98 + 123.4, 0.98});
        samples.push_back({epoch + 1e-5, 10.0 / 0.6 + 123.4, 0.6});
    }
    double bias = 0.0;
    ASSERT_TRUE(MinimumSpreadBias(samples, bias));
    EXPECT_NEAR(bias, -123.4, 1e-9);
    int windows = 0;
    EXPECT_NEAR(SpreadScore(samples, -123.4, 250.0, windows), 0.0, 1e-9);
    EXPECT_EQ(windows, 50);

    std::vector<SpreadSample> alone;
    for (int k = 0; k < 50; ++k) alone.push_back({58849.0 + k * kGridStep_day, 5.0, 0.9});
    EXPECT_FALSE(MinimumSpreadBias(alone, bias));
}
