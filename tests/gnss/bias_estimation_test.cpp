// The bias stage on a synthetic day: 32 GPS satellites, two passes each from 5 deg up to
// 20..89 deg, every 30 s, over an ionosphere that is the same everywhere and changes
// only with the hour (0.5 TECU at night, up to 12.5 TECU by day). The slant TEC carries a
// known receiver bias and, where set, the satellites' P1-P2 biases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "gnss/bias_estimation.h"
#include "gnss/look_geometry.h"

namespace {

constexpr double kDay = 58849.0;  // 2020-01-01
constexpr double kPi = 3.141592653589793;
constexpr double kRxBias = -41.9;  // TECU, in the slant TEC as measured

double verticalAt(double hour) { return 0.5 + 12.0 * std::max(0.0, std::sin(kPi * (hour - 4.0) / 12.0)); }

double mapping(double elevation_deg) { return MappingFactor(elevation_deg * kPi / 180.0); }

struct Satellite {
    double firstRise_h = 0.0;
    double peak_deg = 60.0;
    double dcb_ns = 0.0;
    double verticalOffset = 0.0;  // the satellite reads this much off the ionosphere
};

// Two 5-hour passes 12 hours apart.
TecSeries passes(const Satellite& s) {
    TecSeries series;
    constexpr double kPass_h = 5.0;
    for (int i = 0; i < 2880; ++i) {
        const double hour = i / 120.0;
        for (double rise : {s.firstRise_h, s.firstRise_h + 12.0}) {
            const double phase = std::fmod(hour - rise + 48.0, 24.0);
            if (phase >= kPass_h) continue;
            TecRecord r;
            r.epochMjd = kDay + i * 30.0 / 86400.0;
            r.elevation_deg = 5.0 + (s.peak_deg - 5.0) * std::sin(kPi * phase / kPass_h);
            r.slantTec = (verticalAt(hour) + s.verticalOffset) / mapping(r.elevation_deg) - kRxBias -
                         kTecuPerNsP1P2 * s.dcb_ns;
            r.verticalTec = r.slantTec * mapping(r.elevation_deg);
            series.emplace(r.epochMjd, r);
        }
    }
    return series;
}

Satellite gps(int prn) {
    return {std::fmod(prn * 0.75, 24.0), 20.0 + std::fmod(prn * 37.0, 70.0), 0.0, 0.0};
}

DayJob syntheticDay(bool withDcb) {
    DayJob job;
    job.dayStartMjd = kDay;
    job.dcb.loaded = DcbTable::kP1p2Loaded;
    for (int prn = 1; prn <= 32; ++prn) {
        Satellite s = gps(prn);
        if (withDcb) s.dcb_ns = job.dcb.p1p2[prn] = std::fmod(prn * 7.3, 20.0) - 10.0;
        job.tec[prn] = passes(s);
    }
    return job;
}

}  // namespace

TEST(EstimateBiases, RecoversTheReceiverBiasAndLiftsTheNightMinimumToTwo) {
    for (bool withDcb : {false, true}) {
        SCOPED_TRACE(withDcb ? "with satellite biases" : "all DCB values 0");
        DayJob job = syntheticDay(withDcb);
        RunLog log;
        ASSERT_EQ(EstimateBiases(job, log), kBiasesApplied) << log.messages;
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
        EXPECT_EQ(b.figures.biasedTec.size(), 32u);
        EXPECT_EQ(b.figures.dateLine, "Date: 2020/01/01 (DoY: 001)");
        EXPECT_EQ(std::count(b.twoSigmaText.begin(), b.twoSigmaText.end(), '\n'), 240);
        EXPECT_EQ(b.twoSigmaText.rfind("0.050 \t", 0), 0u) << b.twoSigmaText.substr(0, 40);
    }
}

TEST(EstimateBiases, SummaryShowsWhatIsAddedToTheCalculatedTec) {
    DayJob job = syntheticDay(true);
    RunLog log;
    ASSERT_EQ(EstimateBiases(job, log), kBiasesApplied);
    job.context.latitudeDeg = 39.6086;
    job.context.longitudeDeg = 244.25;  // shown as -115.750
    job.context.altitude = 87.5;
    const std::string text = biasSummaryText(job);
    EXPECT_EQ(text.rfind("\r\nStation Lat 39.609, Lon -115.750, Alt 87.500\r\nSummary of biases applied in TEC "
                         "units as...\r\nDesired TEC = calc.TEC + Rx_bias + PRN_bias(Sat.bias + interchannel "
                         "bias)\r\n\r\nPRN\tSatBias\tiChnBias\tTotal\r\n1\t",
                         0),
              0u)
        << text;
    // PRN 1: -2.7 ns, removed as +7.7 TECU from the slant TEC.
    EXPECT_NE(text.find("\r\n1\t-7.7\t0.0\t-7.7\r\n2\t"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n\r\nRxBias (TEC units) stage1= -41.9 stage2= 1.5 Total= -40.4\r\nAverages Min. TEC = "
                        "2.0 and Max. TEC = 1"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.substr(text.size() - 18), "\r\nSign used is 1.0");

    // Without a position in the context the station's own is shown.
    job.context.latitudeDeg = -999.0;
    job.station.setFromEcef(-2148744.6531, 4426641.5827, 4044656.5218);
    EXPECT_EQ(biasSummaryText(job).rfind("\r\nStation Lat 39.609, Lon 115.892, Alt 8", 0), 0u);
}

TEST(EstimateBiases, OtherSystemsNeitherCrashNorMoveTheGpsBiases) {
    DayJob gpsOnly = syntheticDay(true);
    DayJob mixed = syntheticDay(true);
    // IRNSS and GLONASS numbers, with large uncalibrated biases of their own.
    for (int satNo : {607, 201}) {
        Satellite other = gps(satNo % 100);
        other.verticalOffset = 40.0;
        mixed.tec[satNo] = passes(other);
    }
    RunLog log1, log2;
    ASSERT_EQ(EstimateBiases(gpsOnly, log1), kBiasesApplied);
    ASSERT_EQ(EstimateBiases(mixed, log2), kBiasesApplied);
    const BiasResults& a = gpsOnly.bias;
    const BiasResults& b = mixed.bias;
    EXPECT_EQ(a.rxBiasStage1, b.rxBiasStage1);
    EXPECT_EQ(a.rxBiasStage2, b.rxBiasStage2);
    EXPECT_EQ(a.minTecAverage, b.minTecAverage);
    EXPECT_EQ(a.maxTecAverage, b.maxTecAverage);
    EXPECT_EQ(a.satBias, b.satBias);
    EXPECT_EQ(a.interchannelBias, b.interchannelBias);
    EXPECT_EQ(a.twoSigmaText, b.twoSigmaText);
    for (int prn = 1; prn <= 32; ++prn) {
        const TecSeries& x = gpsOnly.tec.at(prn);
        const TecSeries& y = mixed.tec.at(prn);
        ASSERT_EQ(x.size(), y.size());
        for (auto i = x.begin(), j = y.begin(); i != x.end(); ++i, ++j) ASSERT_EQ(i->second.slantTec, j->second.slantTec);
    }
    // They receive the receiver bias only.
    const TecSeries before = passes([] { Satellite s = gps(7); s.verticalOffset = 40.0; return s; }());
    const TecRecord& first = mixed.tec.at(607).begin()->second;
    EXPECT_NEAR(first.slantTec, before.begin()->second.slantTec + b.rxBiasStage1, 1e-9);
    EXPECT_EQ(b.segments.count(607), 0u);
}

TEST(EstimateBiases, ASatelliteReadingLowByThreeAndAHalfIsCorrected) {
    DayJob job = syntheticDay(false);
    Satellite low = gps(5);
    low.verticalOffset = -3.5;
    job.tec[5] = passes(low);
    RunLog log;
    ASSERT_EQ(EstimateBiases(job, log), kBiasesApplied);
    // Measured against the curve in vertical TEC, subtracted from the slant TEC.
    EXPECT_NEAR(job.bias.interchannelBias[5], -3.5, 0.15);
    EXPECT_NEAR(job.bias.totalBias[5], job.bias.interchannelBias[5], 1e-12);
    EXPECT_NEAR(job.bias.rxBiasStage1, kRxBias, 0.2);
    for (int prn : {4, 6}) EXPECT_EQ(job.bias.interchannelBias[prn], 0.0);
}

TEST(EstimateBiases, TooFewValuesAboveThirtyDegreesEndWithMinusNine) {
    const char* const message = "\r\nError! @rBias_Calc; count for 2sigma less than 100.. bad/less TEC data!";
    // Low passes only: the receiver bias is found above 25 deg, but no curve above 30 deg.
    DayJob low;
    low.dayStartMjd = kDay;
    for (int prn = 1; prn <= 12; ++prn) {
        Satellite s = gps(prn);
        s.peak_deg = 29.0;
        low.tec[prn] = passes(s);
    }
    // One pass barely above 30 deg: a few dozen 3-minute values there.
    Satellite brief = gps(13);
    brief.peak_deg = 31.0;
    low.tec[13] = passes(brief);
    const TecTable untouched = low.tec;
    RunLog log;
    EXPECT_EQ(EstimateBiases(low, log), kBiasFewValues);
    EXPECT_NE(log.messages.find(message), std::string::npos);
    EXPECT_NEAR(low.bias.rxBiasStage1, kRxBias, 0.1);  // it is the curve that lacks values
    EXPECT_EQ(low.tec.at(13).begin()->second.slantTec, untouched.at(13).begin()->second.slantTec);

    // Nothing above 25 deg: no receiver bias can be found at all.
    for (auto& [prn, series] : low.tec) {
        for (auto& [epoch, r] : series) r.elevation_deg = std::min(r.elevation_deg, 24.0);
    }
    RunLog flatLog;
    EXPECT_EQ(EstimateBiases(low, flatLog), kBiasFewValues);

    // No satellite with 50 epochs: no interval, nothing changed.
    DayJob sparse;
    sparse.tec[3] = untouched.at(3);
    sparse.tec[3].erase(std::next(sparse.tec[3].begin(), 40), sparse.tec[3].end());
    RunLog sparseLog;
    EXPECT_EQ(EstimateBiases(sparse, sparseLog), kBiasNoInterval);
    EXPECT_EQ(sparseLog.messages, "\r\nError! @Rxbias - D-interval invalid");
}

TEST(EstimateBiases, AllRecordsHighStopsCollectingBeforeTheTableRunsOut) {
    DayJob job;
    job.dayStartMjd = kDay;
    for (int prn = 1; prn <= 32; ++prn) {
        job.tec[prn] = passes(gps(prn));
        for (auto it = job.tec[prn].begin(); it != job.tec[prn].end();) {
            it = it->second.elevation_deg > 30.5 ? std::next(it) : job.tec[prn].erase(it);
        }
    }
    RunLog log;
    EXPECT_EQ(EstimateBiases(job, log), kBiasesApplied);
    EXPECT_NE(log.messages.find("\r\nInfo! Count exceeds limit while processing for 2 sigma TEC!!"),
              std::string::npos);
    EXPECT_NEAR(job.bias.rxBiasStage1, kRxBias, 0.1);
}
