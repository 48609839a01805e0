// The station position, TEC and S4 stages on a real station-day: BJFS, 2020-01-01, 30 s,
// with the day's broadcast ephemerides and CODE's biases of the month.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "decompress/plain_copy.h"
#include "gnss/day_reading.h"
#include "gnss/tec/raw_analyse.h"
#include "gnss/s4/s4_stage.h"
#include "rinex/obs_reader.h"
#include "rinex/satellite_id.h"
#include "test_support.h"

namespace velarix {

namespace {

const std::string kSet = "set1_bjfs_2020_001/";

// L1, L2, C1 and P2 of the GPS satellites of the first `count` epochs, read from the
// RINEX 2.11 text (types L1 L2 C1 P1 P2 S1 S2: five fields of 16 characters on the first
// line of a satellite, two on the second; at most 12 satellites on an epoch line).
using RawEpochs = std::map<double, std::map<int, std::array<double, 4>>>;  // MJD -> PRN -> values
RawEpochs firstEpochs(const std::string& path, int count) {
    RawEpochs epochs;
    std::ifstream in(path);
    std::string line, first, second;
    while (std::getline(in, line) && !contains(line, "END OF HEADER")) {
    }
    while (static_cast<int>(epochs.size()) < count && std::getline(in, line)) {
        const double mjd = 58849.0 + (std::stoi(line.substr(10, 3)) * 3600.0 + std::stoi(line.substr(13, 3)) * 60.0 +
                                      std::stod(line.substr(15, 11))) / 86400.0;
        const int satellites = std::stoi(line.substr(29, 3));
        std::string list = line.substr(32, 36);
        for (int more = 12; more < satellites; more += 12) list += (std::getline(in, line), line.substr(32, 36));
        for (std::size_t s = 0; s < static_cast<std::size_t>(satellites); ++s) {
            std::getline(in, first);
            std::getline(in, second);
            const auto field = [&first](std::size_t i) {  // blank or missing: 0
                return first.size() > i * 16 ? std::atof(first.substr(i * 16, 14).c_str()) : 0.0;
            };
            const int prn = list[s * 3] == 'G' ? std::stoi(list.substr(s * 3 + 1, 2)) : 0;
            if (prn != 0) epochs[mjd][prn] = {field(0), field(1), field(2), field(4)};
        }
    }
    return epochs;
}

}  // namespace

TEST(RawAnalyseBjfs, PositionSolvedThirtySecondsTecFromTheRawTextAndPseudoS4EveryTenthRecord) {
    const std::string shared = sharedDataDir(), original = shared + kSet + "bjfs0010.20o";
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    // The header's position blanked (X = Y = Z = 0): the solution lands near it.
    std::string text = readWholeFile(original);
    const std::size_t header = text.find(" -2148744.6531  4426641.5827  4044656.5218");
    ASSERT_NE(header, std::string::npos);
    TempDir dir;
    text.replace(header, 42, "        0.0000        0.0000        0.0000");
    const std::string blanked = dir.write("bjfs0010.20o", text);
    const PlainCopy p1c1(shared + kSet + "P1C12001.DCB.Z"), all(shared + kSet + "P1P22001_ALL.DCB.Z");
    const DayFiles files{{blanked}, {shared + kSet + "brdc0010.20n"}, p1c1.path(), "", all.path()};
    DayJob job;
    RunLog log;
    ASSERT_EQ(ReadDayFiles(job, files, log), DayReadResult::kRead) << log.messages;
    EXPECT_EQ(job.dayStartMjd, 58849.0);
    EXPECT_TRUE(contains(log.messages, "\r\nError! Station coordinates not available!.. computing\r\n"));
    EXPECT_TRUE(contains(log.messages, "\r\nINFO! station Lat,Lon & Alt are 39.60")) << log.messages;
    const double distance_m =
        std::hypot(job.station.x_m + 2148744.6531, job.station.y_m - 4426641.5827, job.station.z_m - 4044656.5218);
    std::printf("BJFS position solution: %.3f m from the header position\n", distance_m);
    EXPECT_LT(distance_m, 100.0);
    EXPECT_EQ(job.context.latitudeDeg, job.station.latitude_deg);

    ASSERT_EQ(RawAnalyse(job, log), TecPassResult::kDone);
    EXPECT_TRUE(contains(log.messages, "\r\nINFO: @RAW analyse: Data interval = 30.00 Secs\r\n"));
    EXPECT_EQ(job.dataInterval_s, 30.0);
    // The GLONASS satellites of the file have no ephemeris in a GPS navigation file.
    EXPECT_TRUE(contains(log.messages, "\r\nNo ephemeris available for this satellite of prn.. 201"));
    int gpsWithEphemeris = 0;
    for (const auto& [satNo, records] : job.obs.bySatellite) {
        if (systemOf(satNo) != kGps || HasEphemeris(job.ephemerides, satNo) == 0) continue;
        ++gpsWithEphemeris;
        EXPECT_GT(job.tec.count(satNo) != 0 ? job.tec.at(satNo).size() : 0u, 500u) << satNo;
    }
    EXPECT_EQ(gpsWithEphemeris, 30);  // G04 and G18 are not in the file
    EXPECT_EQ(job.tec.size(), 30u);

    // Code TEC as it is; phase TEC up to the constant of any slip repair before the
    // epoch; slant TEC up to the arc's constant. P1 = C1 + the P1-C1 bias.
    const double f1 = 1575420000.0, f2 = 1227600000.0;
    const double k = 2.99792458e-17 / (40.3 * (1.0 / (f2 * f2) - 1.0 / (f1 * f1)));
    const RawEpochs raw = firstEpochs(original, 20);
    ASSERT_EQ(raw.size(), 20u);
    std::map<int, double> phaseOffset, slantOffset;
    int compared = 0;
    for (const auto& [mjd, satellites] : raw) {
        for (const auto& [prn, obs] : satellites) {
            const auto found = job.tec.at(prn).lower_bound(mjd - 1e-7);
            ASSERT_TRUE(found != job.tec.at(prn).end() && std::fabs(found->first - mjd) < 1e-7) << prn;
            const TecRecord& r = found->second;
            EXPECT_NEAR(r.codeTec, (obs[3] / 0.299792458 - obs[2] / 0.299792458 - job.dcb.p1c1[prn]) * k, 1e-6) << prn;
            const double phaseTec = (obs[0] / 1.57542 - obs[1] / 1.2276) * k;
            phaseOffset.try_emplace(prn, r.phaseTec - phaseTec);
            slantOffset.try_emplace(prn, r.slantTec - phaseTec);
            EXPECT_NEAR(r.phaseTec - phaseTec, phaseOffset[prn], 1e-5) << prn;
            EXPECT_NEAR(r.slantTec - phaseTec, slantOffset[prn], 1e-5) << prn;
            ++compared;
        }
    }
    EXPECT_GT(compared, 150);

    // Every record of this regular 30 s file lies on its satellite's grid: one S4 per ten,
    // five minutes apart.
    job.kinds.rinexObs = 1;
    job.context.stationCode = "bjfs";
    GetS4(job, S4Config{}, log);
    EXPECT_EQ(job.s4.source, kS4PseudoFromS1);
    int values = 0, tenths = 0, fiveMinuteSteps = 0;
    for (const auto& [satNo, series] : job.tec) {
        tenths += static_cast<int>(series.size() / 10);
        double previous = -1.0;
        for (const auto& [epoch, record] : series) {
            if (record.s4 == -1.0) continue;
            ASSERT_TRUE(record.s4 >= 0.0 && std::isfinite(record.s4)) << satNo << " " << record.s4;
            ++values;
            if (previous > 0.0 && std::fabs((epoch - previous) * 86400.0 - 300.0) < 0.01) ++fiveMinuteSteps;
            previous = epoch;
        }
    }
    EXPECT_EQ(values, tenths);
    EXPECT_GT(fiveMinuteSteps, (values - static_cast<int>(job.tec.size())) * 9 / 10);
}

namespace {

void expectSameTec(const TecTable& a, const TecTable& b) {
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [satNo, series] : a) {
        const TecSeries& other = b.at(satNo);
        ASSERT_EQ(series.size(), other.size()) << satNo;
        auto at = other.begin();
        for (const auto& [epoch, r] : series) {
            const TecRecord& o = (at++)->second;
            ASSERT_TRUE(epoch == o.epochMjd && r.epochMjd == o.epochMjd && r.codeTec == o.codeTec &&
                        r.phaseTec == o.phaseTec && r.slantTec == o.slantTec && r.verticalTec == o.verticalTec &&
                        r.azimuth_deg == o.azimuth_deg && r.ippLongitude_deg == o.ippLongitude_deg &&
                        r.ippLatitude_deg == o.ippLatitude_deg && r.elevation_deg == o.elevation_deg &&
                        r.signal1 == o.signal1 && r.s4 == o.s4 && r.valid == o.valid)
                << satNo << " " << epoch;
        }
    }
}

}  // namespace

TEST(RawAnalyseBjfs, TheTecOfTheObservablesKeptAndReleasedAsItGrowsIsThatOfTheWholeTable) {
    // The example day as the day reads it (its TEC observables, five of the seven types),
    // its TEC derived releasing the table, against the TEC of the whole table kept.
    const std::string examples = std::string(VELARIX_SOURCE_DIR) + "/examples/";
    const PlainCopy p1c1(examples + "P1C12001.DCB.Z");
    const DayFiles files{{examples + "bjfs0010.20o"}, {examples + "brdc0010.20n"}, p1c1.path(), "", ""};
    DayJob kept, whole;
    RunLog keptLog, wholeLog;
    ASSERT_EQ(ReadDayFiles(kept, files, keptLog), DayReadResult::kRead) << keptLog.messages;
    ASSERT_EQ(ReadDayFiles(whole, files, wholeLog), DayReadResult::kRead);
    whole.obs.releaseObservations();
    Rinex3ObsHeader header;
    (void)OBS_readR3(files.observationPaths.front(), whole.obs, header, wholeLog, ObsKeep::kEvery);
    ASSERT_EQ(whole.obs.bySatellite.size(), kept.obs.bySatellite.size());
    // GPS's P1 (C1P) is not kept: C1 is chosen (GLONASS takes P1 and leaves C1 out).
    const int p1 = obsCodeId("C1P");
    EXPECT_NE(whole.obs.bySatellite.at(5).front().find(p1), nullptr);
    for (const auto& [satNo, records] : kept.obs.bySatellite) {
        for (const SatEpochRecord& record : records) {
            ASSERT_TRUE((record.find(p1) == nullptr || !isGpsPrn(satNo)) && record.observations.size() <= 5) << satNo;
        }
    }
    EXPECT_GT(kept.obs.pool.blockCount(), 5u);  // released in several steps

    RunLog keptTec, wholeTec;
    ASSERT_EQ(RawAnalyse(kept, keptTec, {}, ObservationsAfterTec::kReleased), TecPassResult::kDone);
    ASSERT_EQ(RawAnalyse(whole, wholeTec), TecPassResult::kDone);
    EXPECT_EQ(keptTec.messages, wholeTec.messages);
    EXPECT_GT(kept.tec.size(), 25u);
    expectSameTec(kept.tec, whole.tec);
    // Nothing of the observations is left but what tells how they were chosen.
    EXPECT_TRUE(kept.obs.bySatellite.empty() && kept.obs.byEpoch.empty() && kept.obs.pool.blockCount() == 0);
    EXPECT_EQ(kept.obs.tecSelection.at(kGps).firstCodeName, "C1C");
    EXPECT_FALSE(whole.obs.bySatellite.empty());
}

TEST(ReadDayFiles, StopsAtFilesThatCannotBeRead) {
    TempDir dir;
    DayJob job;
    RunLog navLog, obsLog;
    const std::string excerpt = std::string(VELARIX_TEST_DATA) + "/obs_bjfs_excerpt.20o";
    EXPECT_EQ(ReadDayFiles(job, {{excerpt}, {dir.path() + "x.20n"}, "", "", ""}, navLog),
              DayReadResult::kNavigationFailed);
    EXPECT_TRUE(contains(navLog.messages, "\r\nError! reading Navigation file\r\n"));
    job.beginDay();
    EXPECT_EQ(ReadDayFiles(job, {{dir.path() + "bjfs0010.20o"}, {}, "", "", ""}, obsLog),
              DayReadResult::kObservationFailed);
    EXPECT_TRUE(contains(obsLog.messages, "\r\nObs. file read ERRORS.... \r\n"));
    EXPECT_EQ(obsLog.errors, dir.path() + "bjfs0010.20o .. can't open file\r\n");
}

}  // namespace velarix
