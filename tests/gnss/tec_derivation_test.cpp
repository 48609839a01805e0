// The TEC stage on small synthetic inputs: cycle slips, interval detection, levelling and
// the epochs and satellites that must give no record.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gnss/cycle_slips.h"
#include "gnss/data_interval.h"
#include "gnss/day_job.h"
#include "gnss/geodetic.h"
#include "gnss/look_geometry.h"
#include "gnss/raw_analyse.h"
#include "gnss/tec_frequencies.h"
#include "gnss/tec_levelling.h"

namespace {

constexpr double kDay = 58849.0;  // 2020-01-01
constexpr double kSecond = 1.0 / 86400.0;

// A smooth phase TEC day: changes between neighbours stay below 0.02 TECU.
std::vector<double> smoothSeries(std::size_t n) {
    std::vector<double> x(n);
    for (std::size_t k = 0; k < n; ++k) x[k] = 20.0 + 5.0 * std::sin(static_cast<double>(k) / 300.0);
    return x;
}

std::vector<double> epochsEvery(double step_s, int count, double first = kDay) {
    std::vector<double> epochs;
    for (int k = 0; k < count; ++k) epochs.push_back(first + k * step_s * kSecond);
    return epochs;
}

// A day built record by record: GPS C1C/C2W/L1C/L2W with signal strengths, Galileo
// C1C/C5Q/L1C/L5Q.
class SyntheticDay {
public:
    SyntheticDay() {
        selection(kGps, "C1C", "C2W", "L1C", "L2W", 1, 2, "S1C", "S2W");
        selection(kGalileo, "C1C", "C5Q", "L1C", "L5Q", 1, 5, "", "");
        job.station.setFromEcef(-2148744.6531, 4426641.5827, 4044656.5218);
    }

    void selection(int system, const char* c1, const char* c2, const char* l1, const char* l2, int band1, int band2,
                   const char* s1, const char* s2) {
        TecObsSelection& s = job.obs.tecSelection[system];
        s.firstCode = obsCodeId(c1);
        s.secondCode = obsCodeId(c2);
        s.firstPhase = obsCodeId(l1);
        s.secondPhase = obsCodeId(l2);
        s.firstStrength = obsCodeId(s1);
        s.secondStrength = obsCodeId(s2);
        s.firstCodeName = c1;
        s.secondCodeName = c2;
        s.firstBand = band1;
        s.secondBand = band2;
        s.enough = 1;
    }

    // A GPS-like orbit, so that the satellite has an ephemeris and a position.
    void ephemeris(int satNo) {
        KeplerEphemeris k;
        k.satNo = satNo;
        k.systemCode = systemOf(satNo);
        k.toeMjd = k.tocMjd = kDay + 0.5;
        k.semiMajorAxis_m = 26560000.0;
        k.eccentricity = 0.01;
        k.i0_rad = 0.96;
        k.toe_sow = 3.5 * 86400.0;
        job.ephemerides.kepler[satNo][k.toeMjd].push_back(k);
    }

    // One epoch; `observations` in the order C1, C2, L1, L2[, S1, S2]; a shorter list
    // leaves the rest out of the record.
    void epoch(int satNo, double mjd, const std::vector<double>& observations) {
        const TecObsSelection& s = job.obs.tecSelection[systemOf(satNo)];
        const int ids[] = {s.firstCode, s.secondCode, s.firstPhase, s.secondPhase, s.firstStrength, s.secondStrength};
        std::span<SatObservation> values = job.obs.pool.allocate(observations.size());
        for (std::size_t i = 0; i < observations.size(); ++i) values[i] = {observations[i], ids[i], 0, 0};
        SatEpochRecord record;
        record.epochMjd = mjd;
        record.satNo = satNo;
        record.systemCode = systemOf(satNo);
        record.observations = values;
        job.obs.bySatellite[satNo].push_back(record);
    }

    // `count` epochs every `step_s` with steady observations (metres and cycles).
    void steady(int satNo, int count, double step_s = 30.0, double first = kDay) {
        for (double mjd : epochsEvery(step_s, count, first)) {
            epoch(satNo, mjd, {20000000.0, 20000003.0, 105000000.0, 81800000.0, 45.0, 40.0});
        }
    }

    DayJob job;
    RunLog log;
};

TecRecord record(double mjd, double codeTec, double phaseTec, double elevation_deg) {
    TecRecord r;
    r.epochMjd = mjd;
    r.codeTec = codeTec;
    r.phaseTec = phaseTec;
    r.elevation_deg = elevation_deg;
    return r;
}

}  // namespace

TEST(CorrectCycleSlips, RemovesASlipAndLeavesUncorrectableSeriesAlone) {
    std::vector<double> short29 = smoothSeries(29);
    const std::vector<double> original29 = short29;
    EXPECT_EQ(CorrectCycleSlips(short29), kTooFewForSlips);
    EXPECT_EQ(short29, original29);

    const std::vector<double> clean = smoothSeries(600);
    std::vector<double> slipped = clean;
    for (std::size_t k = 300; k < slipped.size(); ++k) slipped[k] += 5.0;
    EXPECT_EQ(CorrectCycleSlips(slipped), 1);
    for (std::size_t k = 0; k < clean.size(); ++k) {
        // Everything from the slip on is shifted back by the slip and the step of the
        // series across it (below 0.02).
        ASSERT_NEAR(slipped[k], clean[k], k < 300 ? 0.0 : 0.02) << k;
    }

    // Every step of an alternating series is a slip: 2990 are corrected, 2991 are too many.
    std::vector<double> jumpy(2991);
    for (std::size_t k = 0; k < jumpy.size(); ++k) jumpy[k] = k % 2 == 0 ? 0.0 : 10.0;
    EXPECT_EQ(CorrectCycleSlips(jumpy), 2990);
    EXPECT_EQ(jumpy.back(), 0.0);
    std::vector<double> tooJumpy(2992);
    for (std::size_t k = 0; k < tooJumpy.size(); ++k) tooJumpy[k] = k % 2 == 0 ? 0.0 : 10.0;
    const std::vector<double> originalJumpy = tooJumpy;
    EXPECT_EQ(CorrectCycleSlips(tooJumpy), kTooManySlips);
    EXPECT_EQ(tooJumpy, originalJumpy);
}

TEST(DataInterval, SettledRingWithinRangeAndTheMessagesOfBothFailures) {
    double interval = -1.0;
    EXPECT_EQ(DetectDataInterval(epochsEvery(30.0, 60), interval), kIntervalFound);
    EXPECT_EQ(interval, 30.0);
    // An early gap leaves the ring unsettled until it has gone round.
    std::vector<double> gapped = epochsEvery(30.0, 60);
    for (std::size_t k = 4; k < gapped.size(); ++k) gapped[k] += 600.0 * kSecond;
    EXPECT_EQ(RingInterval_s(gapped), 30.0);
    EXPECT_EQ(DetectDataInterval(epochsEvery(600.0, 60), interval), kIntervalOutOfRange);
    EXPECT_EQ(DetectDataInterval({}, interval), kNoLongSatellite);
    EXPECT_EQ(interval, 30.0);

    TecTable tec;
    for (double mjd : epochsEvery(15.0, 49)) tec[3][mjd] = TecRecord{};
    for (double mjd : epochsEvery(1.0, 50)) tec[9][mjd] = TecRecord{};
    EXPECT_EQ(RingInterval_s(EpochsOfFirstLongSatellite(tec)), 1.0);

    SyntheticDay sparse;
    sparse.ephemeris(5);
    sparse.steady(5, 60, 600.0);
    EXPECT_EQ(RawAnalyse(sparse.job, sparse.log), -1);
    EXPECT_EQ(sparse.log.messages, "\r\nError! @raw-analyse3 - interval invalid\r\n");
    EXPECT_TRUE(sparse.job.tec.empty());
    EXPECT_EQ(sparse.job.dataInterval_s, -1.0);

    SyntheticDay few;
    few.ephemeris(5);
    few.steady(5, 49);
    EXPECT_EQ(RawAnalyse(few.job, few.log), -1);
    EXPECT_EQ(few.log.messages, "\r\nError! @raw-analyse1 - interval invalid\r\n");
}

TEST(RawAnalyse, RecordsOnlyForCompleteEpochsOfSatellitesThatCanGiveTec) {
    SyntheticDay day;
    day.job.dcb.p1c1[5] = 2.0;
    day.job.dcb.loaded = DcbTable::kP1c1Loaded;
    day.ephemeris(5);
    day.ephemeris(305);
    GlonassEphemeris glonass;
    glonass.satNo = 201;
    glonass.epochMjd = kDay;
    day.job.ephemerides.glonass[201][kDay].push_back(glonass);  // GLONASS has no selection here
    day.steady(5, 30);
    day.epoch(5, kDay + 30 * 30.0 * kSecond, {20000000.0, 20000003.0, 105000000.0, 0.0, 45.0, 40.0});  // L2 = 0
    day.epoch(5, kDay + 31 * 30.0 * kSecond, {20000000.0, 20000003.0, 105000000.0});  // no L2 at all
    day.epoch(5, kDay + 32 * 30.0 * kSecond, {20000000.0, 20000003.0, 105000000.0, 81800000.0});  // no strengths
    day.steady(5, 30, 30.0, kDay + 33 * 30.0 * kSecond);
    day.steady(7, 60);  // no ephemeris
    day.steady(305, 60);
    day.steady(201, 60);
    day.job.obs.tecSelection.erase(kGlonass);

    std::vector<std::string> progress;
    ASSERT_EQ(RawAnalyse(day.job, day.log, [&progress](const std::string& text) { progress.push_back(text); }), 0);
    const std::vector<std::string> shown{"Process 1 of 2, PRN # 5",   "Process 1 of 2, PRN # 7",
                                         "Process 1 of 2, PRN # 201", "Process 1 of 2, PRN # 305",
                                         "Process 2 of 2, PRN # 5",   "Process 2 of 2, PRN # 305"};
    EXPECT_EQ(progress, shown);
    EXPECT_EQ(day.log.messages,
              "\r\nINFO: @RAW analyse: Data interval = 30.00 Secs\r\n"
              "\r\nNo ephemeris available for this satellite of prn..  7");
    EXPECT_EQ(day.job.dataInterval_s, 30.0);
    ASSERT_EQ(day.job.tec.size(), 2u);
    const TecSeries& gps = day.job.tec.at(5);
    EXPECT_EQ(gps.size(), 61u);
    EXPECT_EQ(gps.count(kDay + 30 * 30.0 * kSecond), 0u);
    EXPECT_EQ(gps.count(kDay + 31 * 30.0 * kSecond), 0u);

    const double kGps = TecPerNanosecond(1575420000.0, 1227600000.0);
    EXPECT_NEAR(kGps, 2.8539, 1e-4);
    const TecRecord& first = gps.begin()->second;
    // C1 and C2W differ in their third character: C1 is brought to P1 by the P1-C1 bias.
    EXPECT_NEAR(first.codeTec, (3.0 / kMetresPerNanosecond - 2.0) * kGps, 1e-9);
    EXPECT_NEAR(first.phaseTec, (105000000.0 / 1.57542 - 81800000.0 / 1.2276) * kGps, 1e-6);
    EXPECT_EQ(first.signal1, 45.0);
    EXPECT_EQ(gps.at(kDay + 32 * 30.0 * kSecond).signal1, 0.0);
    EXPECT_EQ(gps.at(kDay + 32 * 30.0 * kSecond).signal2, 0.0);
    EXPECT_EQ(first.s4, -1.0);
    EXPECT_EQ(first.valid, 1);

    // A Galileo satellite has no P1-C1 bias, and its number never reaches the GPS table.
    const TecRecord& galileo = day.job.tec.at(305).begin()->second;
    EXPECT_NEAR(galileo.codeTec, 3.0 / kMetresPerNanosecond * TecPerNanosecond(1575420000.0, 1176450000.0), 1e-9);
    EXPECT_NE(galileo.elevation_deg, 0.0);
}

TEST(LevelSatellite, ArcsSplitAtGapsOver20MinutesEachLevelledToItsOwnMean) {
    const auto twoArcs = [](double gap_s) {
        TecSeries series;
        for (int k = 0; k < 40; ++k) {
            const double mjd = kDay + (k * 30.0 + (k >= 20 ? gap_s - 30.0 : 0.0)) * kSecond;
            const double phase = -80.0 + 0.01 * k;
            series[mjd] = record(mjd, phase + (k < 20 ? 10.0 : 20.0), phase, 40.0);
        }
        return series;
    };
    TecSeries split = twoArcs(1201.0);
    EXPECT_EQ(LevelSatellite(split, 1.0), 2);
    int k = 0;
    for (const auto& [mjd, r] : split) {
        EXPECT_NEAR(r.slantTec - r.phaseTec, k++ < 20 ? 10.0 : 20.0, 1e-9);
        EXPECT_NEAR(r.verticalTec, r.slantTec * MappingFactor(40.0 * kDegreesToRadians), 1e-9);
    }
    TecSeries joined = twoArcs(1200.0);
    EXPECT_EQ(LevelSatellite(joined, 1.0), 1);
    const double offset = joined.begin()->second.slantTec - joined.begin()->second.phaseTec;
    EXPECT_GT(offset, 10.0);
    EXPECT_LT(offset, 20.0);
    EXPECT_NEAR(joined.rbegin()->second.slantTec - joined.rbegin()->second.phaseTec, offset, 1e-9);

    // All points at 5 to 6 degrees: the arc's mean is 0 and slant TEC is the phase TEC;
    // a code TEC outside -200..250 TECU contributes nothing either.
    TecSeries low;
    for (int i = 0; i < 30; ++i) {
        const double mjd = kDay + i * 30.0 * kSecond;
        low[mjd] = record(mjd, i < 25 ? 30.0 : 300.0, 12.5, i < 25 ? 5.0 + i / 25.0 : 50.0);
    }
    EXPECT_EQ(LevelSatellite(low, 1.0), 1);
    for (const auto& [mjd, r] : low) EXPECT_EQ(r.slantTec, r.phaseTec);
}

TEST(LevelSatellite, TrimmedArcMeanByElevationAndTheBreakLimit) {
    // 20 points: sorted positions 1 (a low outlier) and 19 are left out, 0 never counts.
    std::vector<ArcPoint> points(20, {45.0, 10.0});
    points[3].difference = -50.0;
    points[8].difference = -40.0;
    points[12].difference = 100.0;
    EXPECT_DOUBLE_EQ(ArcMean(points), 10.0);
    // Short arcs keep time order without their first and last point, and take the
    // highest elevation class present.
    EXPECT_DOUBLE_EQ(ArcMean({{40, 1}, {20, 2}, {20, 3}, {20, 4}, {40, 5}}), 3.0);
    EXPECT_DOUBLE_EQ(ArcMean({{40, 1}, {35, 2}, {20, 3}, {20, 4}, {40, 5}}), 2.0);
    EXPECT_DOUBLE_EQ(ArcMean({{40, 1}, {40, 5}}), 0.0);

    const auto brokenSeries = [](int breaks) {
        TecSeries series;
        for (int i = 0; i <= breaks; ++i) {
            const double mjd = kDay + i * 1500.0 * kSecond;
            series[mjd] = record(mjd, 40.0, 30.0, 45.0);
        }
        return series;
    };
    TecSeries allowed = brokenSeries(29);
    EXPECT_EQ(LevelSatellite(allowed, 1.0), 30);
    TecSeries tooMany = brokenSeries(30);
    for (auto& [mjd, r] : tooMany) r.slantTec = r.verticalTec = 7.0;
    EXPECT_EQ(LevelSatellite(tooMany, 1.0), kTooManyArcs);
    for (const auto& [mjd, r] : tooMany) EXPECT_TRUE(r.slantTec == 0.0 && r.verticalTec == 0.0);

    // Through the stage: the caution names the satellite and the others are levelled.
    SyntheticDay day;
    day.ephemeris(5);
    day.ephemeris(9);
    day.steady(5, 60);
    for (int i = 0; i <= 30; ++i) day.steady(9, 2, 30.0, kDay + i * 1500.0 * kSecond);
    ASSERT_EQ(RawAnalyse(day.job, day.log), 0);
    EXPECT_NE(day.log.messages.find("\n  ->Caution... there are more than 29 breaks for the PRN: 9"),
              std::string::npos);
    EXPECT_EQ(day.job.tec.at(9).begin()->second.slantTec, 0.0);
}
