// The TEC stage on small synthetic inputs: cycle slips, interval detection, levelling and
// the epochs and satellites that must give no record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "gnss/tec/cycle_slips.h"
#include "gnss/day_job.h"
#include "geodesy/geodetic.h"
#include "gnss/orbits/look_geometry.h"
#include "gnss/tec/raw_analyse.h"
#include "gnss/tec/tec_frequencies.h"
#include "gnss/tec/tec_levelling.h"

namespace velarix {

namespace {

constexpr double kDay = 58849.0;  // 2020-01-01
constexpr double kSecond = 1.0 / 86400.0;
const std::vector<double> kSteady = {2e7, 2e7 + 3.0, 1.05e8, 8.18e7, 45.0, 40.0};  // C1 C2 (m), L1 L2, S1 S2

// A day built record by record: GPS C1C/C2W/L1C/L2W with signal strengths, Galileo
// C1C/C5Q/L1C/L5Q without.
struct SyntheticDay {
    SyntheticDay() {
        const auto id = [](const char* name) { return obsCodeId(name); };
        // Codes, phases and strengths of both bands, the code names, bands 1 and 2 or 5.
        job.obs.tecSelection[kGps] = {id("C1C"), id("C2W"), id("L1C"), id("L2W"), id("S1C"), id("S2W"),
                                      "C1C",     "C2W",     {},        {},        1,         2,         {}, 1};
        job.obs.tecSelection[kGalileo] = {id("C1C"), id("C5Q"), id("L1C"), id("L5Q"), kNoObsCode, kNoObsCode,
                                          "C1C",     "C5Q",     {},        {},        1,          5,          {}, 1};
        job.station.setFromEcef(-2148744.6531, 4426641.5827, 4044656.5218);
    }
    // A GPS-like orbit, so that the satellite has an ephemeris and a position; broadcast
    // every 4 hours, so that one record is current at every epoch of the day.
    void ephemeris(int satNo) {
        for (int k = 0; k <= 6; ++k) {
            const double epoch = kDay + k / 6.0;
            job.ephemerides.kepler[satNo][epoch].push_back(
                {.satNo = satNo, .systemCode = systemOf(satNo), .toeMjd = epoch, .tocMjd = epoch,
                 .semiMajorAxis_m = 26560000.0, .eccentricity = 0.01, .i0_rad = 0.96, .toe_sow = 3.5 * 86400.0});
        }
    }
    // One epoch; `observations` in the order C1, C2, L1, L2[, S1, S2]; a shorter list
    // leaves the rest out of the record.
    void epoch(int satNo, double mjd, const std::vector<double>& observations) {
        const TecObsSelection& s = job.obs.tecSelection[systemOf(satNo)];
        const int ids[] = {s.firstCode, s.secondCode, s.firstPhase, s.secondPhase, s.firstStrength, s.secondStrength};
        std::span<SatObservation> values = job.obs.pool.allocate(observations.size());
        for (std::size_t i = 0; i < observations.size(); ++i) values[i] = {observations[i], ids[i], 0, 0};
        job.obs.bySatellite[satNo].push_back({.epochMjd = mjd, .satNo = satNo, .systemCode = systemOf(satNo),
                                              .observations = values});
    }
    // `count` epochs every `step_s` with steady observations.
    void steady(int satNo, int count, double step_s = 30.0, double first = kDay) {
        for (int k = 0; k < count; ++k) epoch(satNo, first + k * step_s * kSecond, kSteady);
    }
    DayJob job;
    RunLog log;
};

TecRecord record(double mjd, double codeTec, double phaseTec, double elevation_deg) {
    return {.epochMjd = mjd, .codeTec = codeTec, .phaseTec = phaseTec, .elevation_deg = elevation_deg};
}

}  // namespace

TEST(CorrectCycleSlips, RemovesASlipAndLeavesUncorrectableSeriesAlone) {
    // A smooth phase TEC day: changes between neighbours stay below 0.02 TECU.
    std::vector<double> clean(600);
    for (std::size_t k = 0; k < clean.size(); ++k) clean[k] = 20.0 + 5.0 * std::sin(static_cast<double>(k) / 300.0);
    std::vector<double> slipped = clean;
    for (std::size_t k = 300; k < slipped.size(); ++k) slipped[k] += 5.0;
    EXPECT_EQ(CorrectCycleSlips(slipped), 1);
    // Everything from the slip on is shifted back by the slip and the step across it.
    for (std::size_t k = 0; k < clean.size(); ++k) ASSERT_NEAR(slipped[k], clean[k], k < 300 ? 0.0 : 0.02) << k;

    std::vector<double> short29(slipped.begin(), slipped.begin() + 29);
    EXPECT_EQ(CorrectCycleSlips(short29), kTooFewForSlips);
    EXPECT_EQ(short29, std::vector<double>(slipped.begin(), slipped.begin() + 29));
    // Every step of an alternating series is a slip: 2990 are corrected, 2991 are too many.
    std::vector<double> tooJumpy(2992);
    for (std::size_t k = 0; k < tooJumpy.size(); ++k) tooJumpy[k] = k % 2 == 0 ? 0.0 : 10.0;
    std::vector<double> jumpy(tooJumpy.begin(), tooJumpy.end() - 1);
    const std::vector<double> originalJumpy = tooJumpy;
    EXPECT_EQ(CorrectCycleSlips(jumpy), 2990);
    EXPECT_EQ(jumpy.back(), 0.0);
    EXPECT_EQ(CorrectCycleSlips(tooJumpy), kTooManySlips);
    EXPECT_EQ(tooJumpy, originalJumpy);
}

TEST(DataInterval, TheStageReportsAnIntervalOutOfRangeAndNoLongSatellite) {
    // Through the stage: an interval out of range, and no satellite with 50 epochs.
    for (const auto& [count, step_s, message] : {std::tuple{60, 600.0, "@raw-analyse3"}, {49, 30.0, "@raw-analyse1"}}) {
        SyntheticDay day;
        day.ephemeris(5);
        day.steady(5, count, step_s);
        EXPECT_EQ(RawAnalyse(day.job, day.log), TecPassResult::kNoInterval);
        EXPECT_EQ(day.log.messages, std::string("\r\nError! ") + message + " - interval invalid\r\n");
        EXPECT_TRUE(day.job.tec.empty() && day.job.dataInterval_s == -1.0);
    }
}

TEST(RawAnalyse, RecordsOnlyForCompleteEpochsOfSatellitesThatCanGiveTecAndTheBreakLimit) {
    SyntheticDay day;
    day.job.dcb.p1c1.fill(2.0);
    day.job.dcb.loaded = DcbTable::kP1c1Loaded;
    day.ephemeris(5);
    day.ephemeris(305);
    day.job.ephemerides.glonass[201][kDay].push_back({.satNo = 201, .epochMjd = kDay});  // no selection
    const double at30 = kDay + 30 * 30.0 * kSecond, at32 = kDay + 32 * 30.0 * kSecond;
    day.steady(5, 30);
    day.epoch(5, at30, {20000000.0, 20000003.0, 105000000.0, 0.0, 45.0, 40.0});  // L2 = 0
    day.epoch(5, at30 + 30 * kSecond, {20000000.0, 20000003.0, 105000000.0});    // no L2 at all
    day.epoch(5, at32, {20000000.0, 20000003.0, 105000000.0, 81800000.0});       // no strengths
    day.steady(5, 30, 30.0, at32 + 30 * kSecond);
    day.steady(7, 60);  // no ephemeris
    day.steady(305, 60);
    day.steady(201, 60);
    day.job.obs.tecSelection.erase(kGlonass);
    // G09 has 30 breaks longer than 20 minutes, G11 29.
    for (int satNo : {9, 11}) {
        day.ephemeris(satNo);
        for (int i = 0; i <= (satNo == 9 ? 30 : 29); ++i) day.steady(satNo, 2, 30.0, kDay + i * 1500.0 * kSecond);
    }

    ASSERT_EQ(RawAnalyse(day.job, day.log), TecPassResult::kDone);
    EXPECT_EQ(day.log.messages,
              "\r\nINFO: @RAW analyse: Data interval = 30.00 Secs\r\n"
              "\r\nNo ephemeris available for this satellite of prn..  7"
              "\n  ->Caution... there are more than 29 breaks for the PRN: 9");
    ASSERT_EQ(day.job.tec.size(), 4u);
    // Too many breaks: no slant TEC; 29 are levelled.
    EXPECT_EQ(day.job.tec.at(9).begin()->second.slantTec, 0.0);
    EXPECT_NE(day.job.tec.at(11).begin()->second.slantTec, 0.0);
    const TecSeries& gps = day.job.tec.at(5);
    EXPECT_EQ(gps.size(), 61u);
    EXPECT_EQ(gps.count(at30) + gps.count(at30 + 30 * kSecond), 0u);
    const TecRecord& first = gps.begin()->second;
    EXPECT_TRUE(first.signal1 == 45.0 && first.s4 == -1.0 && first.valid == 1);
    // Without strengths the record holds 0, not the values of another epoch.
    EXPECT_EQ(gps.at(at32).signal1, 0.0);
    // A Galileo satellite takes no P1-C1 bias, and its number never reaches the GPS table.
    const TecRecord& galileo = day.job.tec.at(305).begin()->second;
    EXPECT_NEAR(galileo.codeTec, 3.0 / kMetresPerNanosecond * TecPerNanosecond(1575420000.0, 1176450000.0), 1e-9);
    EXPECT_NE(galileo.elevation_deg, 0.0);
}

TEST(RawAnalyse, ReleasingTheObservationsGivesTheSameTecWhateverTheOrderTheyWereStoredIn) {
    // Three days alike: one kept; one released as pass 1 goes through the pool's blocks; in
    // the third, G05's later epochs took their room before its earlier ones (a table not
    // filled by the reader), so its blocks cannot be released in order: it is derived whole,
    // then released.
    SyntheticDay kept, inOrder, reversed;
    for (SyntheticDay* day : {&kept, &inOrder, &reversed}) {
        day->ephemeris(5);
        day->ephemeris(305);
        day->steady(305, 700);
        const double first = kDay + 15.0 * kSecond;
        if (day == &reversed) {
            for (int k = 1399; k >= 0; --k) day->epoch(5, first + k * 30.0 * kSecond, kSteady);
            std::vector<SatEpochRecord>& g05 = day->job.obs.bySatellite.at(5);
            std::reverse(g05.begin(), g05.end());
        } else {
            day->steady(5, 1400, 30.0, first);
        }
    }
    ASSERT_GT(inOrder.job.obs.pool.blockCount(), 2u);
    ASSERT_EQ(RawAnalyse(kept.job, kept.log), TecPassResult::kDone);
    for (SyntheticDay* day : {&inOrder, &reversed}) {
        ASSERT_EQ(RawAnalyse(day->job, day->log, {}, ObservationsAfterTec::kReleased), TecPassResult::kDone);
        EXPECT_EQ(day->log.messages, kept.log.messages);
        ASSERT_EQ(day->job.tec.size(), 2u);
        for (const auto& [satNo, series] : kept.job.tec) {
            const TecSeries& other = day->job.tec.at(satNo);
            ASSERT_EQ(other.size(), series.size());
            auto at = other.begin();
            for (const auto& [epoch, record] : series) {
                const TecRecord& o = (at++)->second;
                ASSERT_TRUE(at[-1].first == epoch && o.codeTec == record.codeTec && o.phaseTec == record.phaseTec &&
                            o.slantTec == record.slantTec && o.elevation_deg == record.elevation_deg &&
                            o.signal1 == record.signal1);
            }
        }
        EXPECT_TRUE(day->job.obs.bySatellite.empty() && day->job.obs.pool.blockCount() == 0);
        EXPECT_EQ(day->job.obs.tecSelection.count(kGps), 1u);
    }
    EXPECT_EQ(kept.job.obs.bySatellite.size(), 2u);
}

TEST(LevelSatellite, ArcsSplitAtGapsOver20MinutesAndTrimmedMeansByElevation) {
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
    TecSeries joined = twoArcs(1200.0);  // not more than 20 minutes
    EXPECT_EQ(LevelSatellite(joined, 1.0), 1);

    // All points at 5 to 6 degrees: the arc's mean is 0 and slant TEC is the phase TEC;
    // a code TEC outside -200..250 TECU contributes nothing either.
    TecSeries low;
    for (int i = 0; i < 30; ++i) {
        const double mjd = kDay + i * 30.0 * kSecond;
        low[mjd] = record(mjd, i < 25 ? 30.0 : 300.0, 12.5, i < 25 ? 5.0 + i / 25.0 : 50.0);
    }
    EXPECT_EQ(LevelSatellite(low, 1.0), 1);
    for (const auto& [mjd, r] : low) EXPECT_EQ(r.slantTec, r.phaseTec);

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
}

}  // namespace velarix
