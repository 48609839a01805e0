// The bias stage on a synthetic day: 32 GPS satellites, two passes each from 5 deg up to
// 20..89 deg, every 30 s, over an ionosphere that is the same everywhere and changes
// only with the hour (0.5 TECU at night, up to 12.5 TECU by day). The slant TEC carries a
// known receiver bias and, where set, the satellites' P1-P2 biases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <tuple>

#include "gnss/bias/bias_estimation.h"
#include "gnss/orbits/look_geometry.h"
#include "platform/text.h"
#include "test_support.h"

namespace velarix {

namespace {

constexpr double kDay = 58849.0;  // 2020-01-01
constexpr double kPi = 3.141592653589793;
constexpr double kRxBias = -41.9;  // TECU, in the slant TEC as measured

double verticalAt(double hour) { return 0.5 + 12.0 * std::max(0.0, std::sin(kPi * (hour - 4.0) / 12.0)); }

// Passes from `firstRise_h`, `dcb_ns` in the slant TEC; the satellite reads `verticalOffset` off the ionosphere.
struct Satellite {
    double firstRise_h, peak_deg, dcb_ns = 0.0, verticalOffset = 0.0;
};

Satellite gps(int prn) { return {std::fmod(prn * 0.75, 24.0), 20.0 + std::fmod(prn * 37.0, 70.0)}; }

// Two 5-hour passes 12 hours apart.
TecSeries passes(const Satellite& s) {
    TecSeries series;
    for (int i = 0; i < 2880; ++i) {
        const double hour = i / 120.0;
        for (double rise : {s.firstRise_h, s.firstRise_h + 12.0}) {
            const double phase = std::fmod(hour - rise + 48.0, 24.0);
            if (phase >= 5.0) continue;
            TecRecord r;
            r.epochMjd = kDay + i * 30.0 / 86400.0;
            r.elevation_deg = 5.0 + (s.peak_deg - 5.0) * std::sin(kPi * phase / 5.0);
            const double mapping = MappingFactor(r.elevation_deg * kPi / 180.0);
            r.slantTec = (verticalAt(hour) + s.verticalOffset) / mapping - kRxBias - kTecuPerNsP1P2 * s.dcb_ns;
            r.verticalTec = r.slantTec * mapping;
            series.emplace(r.epochMjd, r);
        }
    }
    return series;
}

DayJob syntheticDay(bool withDcb, int lowSatellite = 0) {
    DayJob job;
    job.dayStartMjd = kDay;
    job.dcb.loaded = DcbTable::kP1p2Loaded;
    for (int prn = 1; prn <= 32; ++prn) {
        Satellite s = gps(prn);
        if (withDcb) s.dcb_ns = job.dcb.p1p2[prn] = std::fmod(prn * 7.3, 20.0) - 10.0;
        if (prn == lowSatellite) s.verticalOffset = -3.5;
        job.tec[prn] = passes(s);
    }
    return job;
}

}  // namespace

TEST(EstimateBiases, RecoversTheReceiverBiasLiftsTheNightMinimumToTwoAndSumsUp) {
    for (bool withDcb : {false, true}) {
        SCOPED_TRACE(withDcb ? "with satellite biases" : "all DCB values 0");
        DayJob job = syntheticDay(withDcb);
        RunLog log;
        ASSERT_EQ(EstimateBiases(job, log), BiasResult::kApplied) << log.messages;
        const BiasResults& b = job.bias;
        EXPECT_NEAR(b.rxBiasStage1, kRxBias, 0.1);
        EXPECT_NEAR(b.rxBiasStage2, 1.5, 0.1);  // the night's 0.5 TECU becomes 2
        EXPECT_NEAR(b.minTecAverage, 2.0, 0.1);
        EXPECT_NEAR(b.maxTecAverage, 14.0, 0.3);
        EXPECT_DOUBLE_EQ(b.rxBiasTotal, b.rxBiasStage1 + b.rxBiasStage2);
        for (int prn = 1; prn <= 32; ++prn) {
            EXPECT_NEAR(b.satBias[prn], -kTecuPerNsP1P2 * job.dcb.p1p2[prn], 1e-12);
            EXPECT_EQ(b.interchannelBias[prn], 0.0) << prn;
        }
        // Every valid record now reads the ionosphere plus the stage-2 lift, at any elevation.
        for (const auto& [prn, series] : job.tec) {
            for (const auto& [epoch, r] : series) {
                ASSERT_EQ(r.valid, 1);
                ASSERT_NEAR(r.verticalTec, verticalAt((epoch - kDay) * 24.0) + b.rxBiasStage2, 0.1) << prn;
            }
        }
        EXPECT_TRUE(b.figures.biasedTec.size() == 32 && b.figures.removedTec.size() == 32);
        EXPECT_EQ(b.finalCurve.bins.size(), 240u);  // what the ".Std" product shows
        if (!withDcb) continue;

        // The summary shows what is added to the calculated TEC. PRN 1: -2.7 ns, removed
        // as +7.7 TECU from the slant TEC. A longitude over 180 is shown west.
        job.context.latitudeDeg = 39.6086;
        job.context.longitudeDeg = 244.25;
        job.context.altitude = 87.5;
        const std::string text = biasSummaryText(job);
        EXPECT_EQ(text.rfind("\r\nStation Lat 39.609, Lon -115.750, Alt 87.500\r\nSummary of biases applied in TEC "
                             "units as...\r\nDesired TEC = calc.TEC + Rx_bias + PRN_bias(Sat.bias + interchannel "
                             "bias)\r\n\r\nPRN\tSatBias\tiChnBias\tTotal\r\n1\t-7.7\t0.0\t-7.7\r\n2\t",
                             0),
                  0u)
            << text;
        EXPECT_TRUE(contains(text, "\r\n\r\nRxBias (TEC units) stage1= -41.9 stage2= 1.5 Total= -40.4\r\n")) << text;
        EXPECT_TRUE(endsWith(text, "\r\nSign used is 1.0"));
        // Without a position in the context the station's own is shown.
        job.context.latitudeDeg = -999.0;
        job.station.setFromEcef(-2148744.6531, 4426641.5827, 4044656.5218);
        EXPECT_EQ(biasSummaryText(job).rfind("\r\nStation Lat 39.609, Lon 115.892, Alt 8", 0), 0u);
    }
}

TEST(EstimateBiases, OtherSystemsNeitherCrashNorMoveTheGpsBiasesAndALowSatelliteIsCorrected) {
    // G05 reads 3.5 TECU low in both days; the mixed day adds IRNSS and GLONASS numbers
    // with large uncalibrated biases of their own.
    DayJob gpsOnly = syntheticDay(true, 5), mixed = syntheticDay(true, 5);
    Satellite other = gps(7);
    other.verticalOffset = 40.0;
    mixed.tec[607] = mixed.tec[201] = passes(other);
    RunLog log1, log2;
    ASSERT_EQ(EstimateBiases(gpsOnly, log1), BiasResult::kApplied);
    ASSERT_EQ(EstimateBiases(mixed, log2), BiasResult::kApplied);
    const BiasResults &a = gpsOnly.bias, &b = mixed.bias;
    EXPECT_EQ(std::tuple(a.rxBiasStage1, a.rxBiasStage2, a.satBias, a.interchannelBias, a.finalCurve.bins),
              std::tuple(b.rxBiasStage1, b.rxBiasStage2, b.satBias, b.interchannelBias, b.finalCurve.bins));
    std::vector<double> slantA, slantB;  // every GPS record of both days
    for (int prn = 1; prn <= 32; ++prn) {
        for (const auto& [epoch, r] : gpsOnly.tec.at(prn)) slantA.push_back(r.slantTec);
        for (const auto& [epoch, r] : mixed.tec.at(prn)) slantB.push_back(r.slantTec);
    }
    EXPECT_TRUE(slantA == slantB);
    // They receive the receiver bias only.
    EXPECT_NEAR(mixed.tec.at(607).begin()->second.slantTec, passes(other).begin()->second.slantTec + b.rxBiasStage1,
                1e-9);
    EXPECT_EQ(b.segments.count(607), 0u);
    // The low satellite, measured against the curve in vertical TEC, is corrected.
    EXPECT_NEAR(b.interchannelBias[5], -3.5, 0.15);
    EXPECT_NEAR(b.totalBias[5], b.satBias[5] + b.interchannelBias[5], 1e-12);
    EXPECT_TRUE(b.interchannelBias[4] == 0.0 && b.interchannelBias[6] == 0.0);
}

TEST(EstimateBiases, TooFewValuesEndWithMinusNineAndAFullTableStopsCollecting) {
    // Low passes only and one barely above 30 deg (a few dozen 3-minute values there): the
    // receiver bias is found above 25 deg, but there is no curve above 30 deg.
    DayJob low;
    low.dayStartMjd = kDay;
    for (int prn = 1; prn <= 13; ++prn) {
        Satellite s = gps(prn);
        s.peak_deg = prn == 13 ? 31.0 : 29.0;
        low.tec[prn] = passes(s);
    }
    const TecTable untouched = low.tec;
    RunLog log;
    EXPECT_EQ(EstimateBiases(low, log), BiasResult::kFewValues);
    EXPECT_TRUE(contains(log.messages, "\r\nError! @rBias_Calc; count for 2sigma less than 100.. bad/less TEC data!"));
    EXPECT_NEAR(low.bias.rxBiasStage1, kRxBias, 0.1);  // it is the curve that lacks values
    EXPECT_EQ(low.tec.at(13).begin()->second.slantTec, untouched.at(13).begin()->second.slantTec);
    // Nothing above 25 deg: no receiver bias can be found at all.
    for (auto& [prn, series] : low.tec) {
        for (auto& [epoch, r] : series) r.elevation_deg = std::min(r.elevation_deg, 24.0);
    }
    EXPECT_EQ(EstimateBiases(low, log), BiasResult::kFewValues);
    // No satellite with 50 epochs: no interval, nothing changed.
    DayJob sparse;
    sparse.tec[3] = TecSeries(untouched.at(3).begin(), std::next(untouched.at(3).begin(), 40));
    RunLog sparseLog;
    EXPECT_EQ(EstimateBiases(sparse, sparseLog), BiasResult::kNoInterval);
    EXPECT_EQ(sparseLog.messages, "\r\nError! @Rxbias - D-interval invalid");

    // All records high: more values than the collection holds, which stops in time.
    DayJob high;
    high.dayStartMjd = kDay;
    for (int prn = 1; prn <= 32; ++prn) {
        high.tec[prn] = passes(gps(prn));
        erase_if(high.tec[prn], [](const auto& entry) { return entry.second.elevation_deg <= 30.5; });
    }
    EXPECT_EQ(EstimateBiases(high, log), BiasResult::kApplied);
    EXPECT_TRUE(contains(log.messages, "\r\nInfo! Count exceeds limit while processing for 2 sigma TEC!!"));
    EXPECT_NEAR(high.bias.rxBiasStage1, kRxBias, 0.1);
}

TEST(EstimateBiases, AReceiverBiasGivenBeforehandIsAppliedAsItIsWithoutTheNightLift) {
    DayJob job = syntheticDay(true);
    RunLog log;
    BiasOptions options;
    options.givenRxBias_TECU = kRxBias;
    ASSERT_EQ(EstimateBiases(job, log, options), BiasResult::kApplied) << log.messages;
    EXPECT_EQ(job.bias.rxBiasStage1, kRxBias);
    EXPECT_EQ(job.bias.rxBiasStage2, 0.0);
    EXPECT_EQ(job.bias.rxBiasTotal, kRxBias);
    // The ionosphere itself: 0.5 TECU at night, not lifted to 2.
    EXPECT_NEAR(job.bias.minTecAverage, 0.5, 0.1);
    for (const auto& [prn, series] : job.tec) {
        for (const auto& [epoch, r] : series) ASSERT_NEAR(r.verticalTec, verticalAt((epoch - kDay) * 24.0), 0.1) << prn;
    }
    // A wrong bias is applied just the same: the stage does not search.
    DayJob off = syntheticDay(true);
    options.givenRxBias_TECU = kRxBias + 10.0;
    ASSERT_EQ(EstimateBiases(off, log, options), BiasResult::kApplied);
    EXPECT_EQ(off.bias.rxBiasStage1, kRxBias + 10.0);
}

}  // namespace velarix
