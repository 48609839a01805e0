// The TEC stage and the tec tool on a real station-day: BJFS, 2020-01-01, 30 s, with the
// day's broadcast ephemerides and CODE's biases of the month.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "decompress/plain_copy.h"
#include "gnss/day_reading.h"
#include "gnss/raw_analyse.h"
#include "test_support.h"

namespace {

const std::string kSet = "set1_bjfs_2020_001/";

// The observations of one GPS satellite at one epoch, read from the RINEX 2.11 text
// (types L1 L2 C1 P1 P2 S1 S2: five fields of 16 characters on the first line, two on
// the second).
struct RawGps {
    double l1 = 0.0, l2 = 0.0, c1 = 0.0, p2 = 0.0;
};
using RawEpochs = std::map<double, std::map<int, RawGps>>;  // MJD -> PRN -> values

double field(const std::string& line, int index) {
    const std::size_t at = static_cast<std::size_t>(index) * 16;
    if (line.size() <= at) return 0.0;
    const std::string text = line.substr(at, 14);
    return text.find_first_not_of(' ') == std::string::npos ? 0.0 : std::stod(text);
}

RawEpochs firstEpochs(const std::string& path, int count) {
    RawEpochs epochs;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line) && line.find("END OF HEADER") == std::string::npos) {
    }
    while (static_cast<int>(epochs.size()) < count && std::getline(in, line)) {
        const int minute = std::stoi(line.substr(13, 3));
        const int hour = std::stoi(line.substr(10, 3));
        const double mjd = 58849.0 + (hour * 3600.0 + minute * 60.0 + std::stod(line.substr(15, 11))) / 86400.0;
        const int satellites = std::stoi(line.substr(29, 3));
        std::string list = line.substr(32, 36);
        for (int more = 12; more < satellites; more += 12) {
            std::getline(in, line);
            list += line.substr(32, 36);
        }
        for (int s = 0; s < satellites; ++s) {
            std::string first, second;
            std::getline(in, first);
            std::getline(in, second);
            const std::string id = list.substr(static_cast<std::size_t>(s) * 3, 3);
            if (id[0] != 'G') continue;
            epochs[mjd][std::stoi(id.substr(1))] = {field(first, 0), field(first, 1), field(first, 2), field(first, 4)};
        }
    }
    return epochs;
}

struct Bjfs {
    explicit Bjfs(const std::string& shared)
        : p1c1(shared + kSet + "P1C12001.DCB.Z"), all(shared + kSet + "P1P22001_ALL.DCB.Z") {
        files.observationPath = shared + kSet + "bjfs0010.20o";
        files.navigationPaths = {shared + kSet + "brdc0010.20n"};
        files.p1c1Path = p1c1.path();
        files.p1p2AllPath = all.path();
        readResult = ReadDayFiles(job, files, log);
    }
    PlainCopy p1c1, all;
    DayFiles files;
    DayJob job;
    RunLog log;
    int readResult = -99;
};

}  // namespace

TEST(RawAnalyseBjfs, ThirtySecondsRecordsForEveryGpsSatelliteAndTecFromTheRawText) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    Bjfs day(shared);
    ASSERT_EQ(day.readResult, kDayRead) << day.log.messages;
    EXPECT_EQ(day.job.dayStartMjd, 58849.0);
    EXPECT_NEAR(day.job.station.latitude_deg, 39.6, 0.1);
    ASSERT_EQ(RawAnalyse(day.job, day.log), 0);
    EXPECT_NE(day.log.messages.find("\r\nINFO: @RAW analyse: Data interval = 30.00 Secs\r\n"), std::string::npos);
    EXPECT_EQ(day.job.dataInterval_s, 30.0);
    // The GLONASS satellites of the file have no ephemeris in a GPS navigation file.
    EXPECT_NE(day.log.messages.find("\r\nNo ephemeris available for this satellite of prn.. 201"), std::string::npos);

    int gpsWithEphemeris = 0;
    for (const auto& [satNo, records] : day.job.obs.bySatellite) {
        if (systemOf(satNo) != kGps || HasEphemeris(day.job.ephemerides, satNo) == 0) continue;
        ++gpsWithEphemeris;
        EXPECT_GT(day.job.tec.count(satNo) != 0 ? day.job.tec.at(satNo).size() : 0u, 500u) << satNo;
    }
    EXPECT_EQ(gpsWithEphemeris, 30);  // G04 and G18 are not in the file
    EXPECT_EQ(day.job.tec.size(), 30u);

    // Code TEC as it is; phase TEC up to the constant of any slip repair before the
    // epoch; slant TEC up to the arc's constant. P1 = C1 + the P1-C1 bias.
    const double f1 = 1575420000.0;
    const double f2 = 1227600000.0;
    const double k = 2.99792458e-17 / (40.3 * (1.0 / (f2 * f2) - 1.0 / (f1 * f1)));
    const RawEpochs raw = firstEpochs(day.files.observationPath, 20);
    ASSERT_EQ(raw.size(), 20u);
    std::map<int, double> phaseOffset, slantOffset;
    int compared = 0;
    for (const auto& [mjd, satellites] : raw) {
        for (const auto& [prn, obs] : satellites) {
            const TecSeries& series = day.job.tec.at(prn);
            const auto found = series.lower_bound(mjd - 1e-7);
            ASSERT_TRUE(found != series.end() && std::fabs(found->first - mjd) < 1e-7) << prn << " " << mjd;
            const TecRecord& r = found->second;
            const double p1_ns = obs.c1 / 0.299792458 + day.job.dcb.p1c1[prn];
            EXPECT_NEAR(r.codeTec, (obs.p2 / 0.299792458 - p1_ns) * k, 1e-6) << prn;
            const double phaseTec = (obs.l1 / 1.57542 - obs.l2 / 1.2276) * k;
            if (phaseOffset.count(prn) == 0) phaseOffset[prn] = r.phaseTec - phaseTec;
            if (slantOffset.count(prn) == 0) slantOffset[prn] = r.slantTec - phaseTec;
            EXPECT_NEAR(r.phaseTec - phaseTec, phaseOffset[prn], 1e-5) << prn;
            EXPECT_NEAR(r.slantTec - phaseTec, slantOffset[prn], 1e-5) << prn;
            ++compared;
        }
    }
    EXPECT_GT(compared, 150);
}

TEST(ReadDayFiles, StopsAtFilesThatCannotBeRead) {
    TempDir dir;
    DayJob job;
    RunLog log;
    DayFiles files;
    files.observationPath = std::string(VELARIX_TEST_DATA) + "/obs_bjfs_excerpt.20o";
    files.navigationPaths = {dir.path() + "brdc0010.20n"};
    EXPECT_EQ(ReadDayFiles(job, files, log), kDayNavigationFailed);
    EXPECT_NE(log.messages.find("\r\nError! reading Navigation file\r\n"), std::string::npos);

    files.navigationPaths.clear();
    files.observationPath = dir.path() + "bjfs0010.20o";
    RunLog obsLog;
    EXPECT_EQ(ReadDayFiles(job, files, obsLog), kDayObservationFailed);
    EXPECT_NE(obsLog.messages.find("\r\nObs. file read ERRORS.... \r\n"), std::string::npos);
    EXPECT_EQ(obsLog.errors, files.observationPath + " .. Obs. file read ERRORS\r\n");

    // The header's position is taken as it is.
    files.observationPath = std::string(VELARIX_TEST_DATA) + "/obs_bjfs_excerpt.20o";
    RunLog goodLog;
    ASSERT_EQ(ReadDayFiles(job, files, goodLog), kDayRead);
    EXPECT_EQ(job.station.x_m, -2148744.6531);
    EXPECT_EQ(goodLog.messages.find("Station coordinates not available"), std::string::npos);
}

TEST(ReadDayFiles, SolvesThePositionWhenTheHeaderHasNone) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    std::string text = readWholeFile(shared + kSet + "bjfs0010.20o");
    const std::string header = " -2148744.6531  4426641.5827  4044656.5218";
    const std::size_t at = text.find(header);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, header.size(), "        0.0000        0.0000        0.0000");
    TempDir dir;
    DayFiles files;
    files.observationPath = dir.write("bjfs0010.20o", text);
    files.navigationPaths = {shared + kSet + "brdc0010.20n"};
    DayJob job;
    RunLog log;
    ASSERT_EQ(ReadDayFiles(job, files, log), kDayRead) << log.messages;
    EXPECT_NE(log.messages.find("\r\nError! Station coordinates not available!.. computing\r\n"), std::string::npos);
    EXPECT_NE(log.messages.find("\r\nINFO! station Lat,Lon & Alt are 39.60"), std::string::npos) << log.messages;
    EXPECT_LT(std::hypot(job.station.x_m + 2148744.6531, job.station.y_m - 4426641.5827,
                         job.station.z_m - 4044656.5218), 100.0);
    EXPECT_EQ(job.context.latitudeDeg, job.station.latitude_deg);
}

TEST(TecTool, PrintsEveryRecordAsATable) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    TempDir dir;
    const std::string out = dir.path() + "tec.tsv";
    const std::string set = shared + kSet;
    const std::string command = std::string(VELARIX_TOOLS_BIN) + " tec '" + set + "bjfs0010.20o' '" + set +
                                "brdc0010.20n' '" + set + "P1C12001.DCB.Z' > '" + out + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::ifstream table(out);
    std::string line;
    std::getline(table, line);
    EXPECT_EQ(line,
              "MJD\tsatellite\televation_deg\tazimuth_deg\tippLatitude_deg\tippLongitude_deg\t"
              "codeTec_TECU\tphaseTec_TECU\tslantTec_TECU\tverticalTec_TECU");
    int rows = 0;
    std::string firstRow;
    while (std::getline(table, line)) {
        if (rows++ == 0) firstRow = line;
    }
    EXPECT_EQ(rows, 26799);
    EXPECT_EQ(firstRow.rfind("58849.19270833\tG01\t5.1", 0), 0u) << firstRow;

    const std::string misnamed =
        std::string(VELARIX_TOOLS_BIN) + " tec '" + set + "bjfs0010.20o' '" + set + "brdc0010.20n' '" + set +
        "codg0010.20i.Z' 2>/dev/null >/dev/null";
    const int usage = std::system(misnamed.c_str());
    EXPECT_TRUE(WIFEXITED(usage) && WEXITSTATUS(usage) == 2);
}
