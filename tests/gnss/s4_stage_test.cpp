// The S4 stage: pseudo-S4 from S1 on the 30 s grid, LISN S4 files from archive roots and
// the data folder, and the SCINDA companion file. The real day is in raw_analyse_real_test.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gnss/s4/s4_stage.h"
#include "geodesy/time.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

namespace {

constexpr double kDay = 58849.0;  // 2020-01-01, day 001
const double kAlternatingS4 = std::sqrt(25.0 / 45.0);  // 40 and 50 in turn: m 45, q - m^2 25
// One record a minute from 00:00 for G05 (S4 0.200 + minute / 1000, spare values 1.5 and
// 2.5) and for PRN 7 (0.5, -99 at minute 3), then three lines that do not parse.
const std::string kLisnS4Text = readWholeFile(std::string(VELARIX_TEST_DATA) + "/gnss/lisn_day001.s4");

DayJob rinexJob(const std::string& dataDirectory, const std::string& stationCode) {
    DayJob job;
    job.kinds.rinexObs = 1;
    job.dayStartMjd = kDay;
    job.dataInterval_s = 30.0;
    job.context.dataDirectory = dataDirectory;
    job.context.stationCode = stationCode;
    job.obsHeader.rinex2ObsTypes = {"L1", "L2", "C1", "P2", "S1"};
    return job;
}

// Records of one satellite every 30 s from `start_s` (or at `seconds`); signal1 alternates
// 40/50 unless given.
void addRecords(DayJob& job, int satNo, int count, std::vector<double> signal = {}, double start_s = 0.0,
                std::vector<double> seconds = {}) {
    for (int i = 0; i < count; ++i) {
        TecRecord record;
        record.epochMjd = kDay + (seconds.empty() ? start_s + i * 30.0 : seconds[i]) / kSecondsPerDay;
        record.signal1 = signal.empty() ? (i % 2 == 0 ? 40.0 : 50.0) : signal[i];
        job.tec[satNo][record.epochMjd] = record;
    }
}

// Seconds of day (to 0.1 s) -> s4 of the records that got one.
std::map<double, double> s4Set(const DayJob& job, int satNo) {
    std::map<double, double> set;
    for (const auto& [epoch, record] : job.tec.at(satNo)) {
        if (record.s4 != -1.0) set[std::round((epoch - kDay) * kSecondsPerDay * 10.0) / 10.0] = record.s4;
    }
    return set;
}

}  // namespace

TEST(GetS4, PseudoS4FromS1OnEveryTenthGridRecord) {
    TempDir dir;
    DayJob job = rinexJob(dir.path(), "abcd");
    job.dataInterval_s = -1.0;  // renewed from the records
    addRecords(job, 3, 60);
    addRecords(job, 8, 60, std::vector<double>(60, 43.3), 15.0);
    addRecords(job, 12, 60, std::vector<double>(60, 0.0));
    RunLog log;
    GetS4(job, S4Config{}, log);
    EXPECT_TRUE(job.s4.source == kS4PseudoFromS1 && job.dataInterval_s == 30.0 && job.s4.lisnSiteMatch == 0);
    // One value every 5 minutes, on the tenth, twentieth... record; the rest keep -1.
    const std::map<double, double> got = s4Set(job, 3);
    ASSERT_EQ(got.size(), 6u);
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(got.at(270.0 + 300.0 * k), kAlternatingS4, 1e-12) << k;
    // Ten equal values: 0. Ten zeros: nothing written, neither -99 nor NaN.
    const std::map<double, double> equal = s4Set(job, 8);
    ASSERT_EQ(equal.size(), 6u);
    for (const auto& [t, s4] : equal) EXPECT_NEAR(s4, 0.0, 1e-9) << t;
    EXPECT_TRUE(s4Set(job, 12).empty());

    // A RINEX 3 header's first-band signal (S1C) counts as S1; without any S1 no S4.
    for (const char* strength : {"S1C", "S2W"}) {
        DayJob rinex3 = rinexJob(dir.path(), "abcd");
        rinex3.obsHeader.rinex2ObsTypes.clear();
        rinex3.obsHeader.obsTypes[kGps] = {{"C1C", 0}, {"L1C", 1}, {strength, 2}};
        addRecords(rinex3, 3, 20);
        addRecords(rinex3, 5, 20);
        GetS4(rinex3, S4Config{}, log);
        EXPECT_EQ(s4Set(rinex3, 5).size(), strength[1] == '1' ? 2u : 0u) << strength;
    }

    // One-second records take part only within half a second of their grid point, however
    // late or early they come: whole seconds for a minute, then 0.3 s late, from 180 s on
    // 0.4 s early. Grid records alternate 40/50, the others are 1000, so that any record
    // taking part wrongly changes the value and any grid point skipped moves it.
    DayJob fast = rinexJob(dir.path(), "abcd");
    fast.dataInterval_s = 1.0;
    std::vector<double> seconds, signal;
    for (int k = 0; k < 600; ++k) {
        const double t = k < 60 ? k : k < 180 ? k + 0.3 : k - 0.4;
        const bool onGrid = std::fabs(t - 30.0 * std::round(t / 30.0)) < 0.5;
        seconds.push_back(t);
        signal.push_back(onGrid ? (static_cast<int>(std::round(t / 30.0)) % 2 == 0 ? 40.0 : 50.0) : 1000.0);
    }
    addRecords(fast, 2, 600, signal, 0.0, seconds);
    addRecords(fast, 4, 600, signal, 0.0, seconds);
    GetS4(fast, S4Config{}, log);
    EXPECT_EQ(s4Set(fast, 2), (std::map<double, double>{{269.6, kAlternatingS4}, {569.6, kAlternatingS4}}));
}

TEST(GetS4, S4FilesOfLisnStationsAndScindaRecordings) {
    TempDir data, archive;
    // Station code = the ALTA FLORESTA site's file-name code; its file is in the data folder.
    const std::string path = data.write("altanov.001-2020-01-01.s4", kLisnS4Text);
    DayJob job = rinexJob(data.path(), "altanov");
    job.obsHeader.rinex2ObsTypes = {"L1", "L2", "C1", "P2"};  // no S1: the file alone gives S4
    addRecords(job, 5, 40);
    addRecords(job, 7, 40);
    RunLog log;
    GetS4(job, S4Config{data.path() + "nowhere", {archive.path() + "missing"}}, log);
    EXPECT_TRUE(job.s4.lisnSiteMatch == 1 && job.s4.source == kS4File && job.s4.filePath == path) << job.s4.filePath;
    EXPECT_TRUE(contains(log.messages, "\r\nReading S4 file...  \"" + path + "\"  ...done!")) << log.messages;
    for (int line : {242, 243, 244}) EXPECT_TRUE(contains(log.messages, strfmt("skipped @line# %d", line))) << line;
    // Minute values (interval 60.1 s, window 30.05 s): the grid point at 30 s takes minute
    // 0, the one at 60 s minute 1. PRN 7's -99 at minute 3 is not written.
    const std::map<double, double> g05 = s4Set(job, 5);
    ASSERT_EQ(g05.size(), 40u);
    for (int j = 0; j < 40; ++j) EXPECT_NEAR(g05.at(30.0 * j), 0.2 + (j / 2) * 0.001, 1e-12) << j;
    const std::map<double, double> prn7 = s4Set(job, 7);
    EXPECT_EQ(prn7.size(), 38u);
    EXPECT_EQ(prn7.count(180.0) + prn7.count(210.0), 0u);

    // By sub-directory (any case) the archive root's site folder comes before the data
    // folder; by NovAtel prefix + "s4" a site matches too.
    const std::string archived = archive.write("alta/alta.001-2020-01-01.s4", kLisnS4Text);
    data.write("ALTA.001-2020-01-01.s4", kLisnS4Text);
    job.context.stationCode = "ALTA";
    job.s4.clear();
    GetS4(job, S4Config{"", {archive.path() + "missing", archive.path()}}, log);
    EXPECT_TRUE(job.s4.lisnSiteMatch == 3 && job.s4.filePath == archived) << job.s4.filePath;
    GetS4(job, S4Config{"", {}}, log);
    EXPECT_EQ(job.s4.filePath, data.path() + "ALTA.001-2020-01-01.s4");
    job.s4.clear();
    job.context.stationCode = "ALTs4";
    GetS4(job, S4Config{}, log);
    EXPECT_EQ(job.s4.lisnSiteMatch, 2);

    // A SCINDA recording carries its S4 with its records; another receiver's recording
    // reads the day's ".scn" companion, when it is one.
    DayJob scinda = rinexJob(data.path(), "abcd");
    scinda.kinds.rinexObs = 0;
    scinda.kinds.scinda = 1;
    addRecords(scinda, 5, 20);
    addRecords(scinda, 7, 20);
    GetS4(scinda, S4Config{}, log);
    EXPECT_TRUE(scinda.s4.source == kS4Scinda && s4Set(scinda, 5).empty());
    scinda.kinds.scinda = 0;
    scinda.kinds.novatel = 1;
    const std::string scn = data.write("abcd_200101.scn", kLisnS4Text);
    GetS4(scinda, S4Config{}, log);
    EXPECT_TRUE(scinda.s4.source == kS4File && scinda.s4.filePath == scn) << scinda.s4.filePath;
    EXPECT_NEAR(scinda.tec.at(5).rbegin()->second.s4, 0.209, 1e-12);
    data.write("abcd_200101.scn", "58849.0 G05 0.3\r\n");
    GetS4(scinda, S4Config{}, log);
    EXPECT_TRUE(contains(log.messages, "its first line does not begin with \"Jdatet\"")) << log.messages;
    EXPECT_TRUE(scinda.s4.source == kS4None && scinda.s4.filePath.empty());
    // One satellite: not enough, nothing changed.
    scinda.tec.erase(7);
    scinda.tec.at(5).begin()->second.s4 = -1.0;
    RunLog singleLog;
    GetS4(scinda, S4Config{}, singleLog);
    EXPECT_EQ(singleLog.messages, "\r\nError! not enough data.. process aborted @GetS4!\r\n");
    EXPECT_EQ(scinda.tec.at(5).begin()->second.s4, -1.0);
}

}  // namespace velarix
