// The S4 stage: pseudo-S4 from S1 on the 30 s grid, LISN S4 files from archive roots and
// the data folder, the SCINDA companion file, and a real day.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "decompress/plain_copy.h"
#include "gnss/day_reading.h"
#include "gnss/raw_analyse.h"
#include "gnss/s4_stage.h"
#include "gnss/time.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace {

constexpr double kDay = 58849.0;  // 2020-01-01, day 001
const double kAlternatingS4 = std::sqrt(25.0 / 45.0);  // 40 and 50 in turn: m 45, q - m^2 25

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

// Records of one satellite at the given seconds of the day; signal1 alternates 40/50
// unless given.
void addRecords(DayJob& job, int satNo, const std::vector<double>& seconds, std::vector<double> signal = {}) {
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        TecRecord record;
        record.epochMjd = kDay + seconds[i] / kSecondsPerDay;
        record.signal1 = signal.empty() ? (i % 2 == 0 ? 40.0 : 50.0) : signal[i];
        job.tec[satNo][record.epochMjd] = record;
    }
}

std::vector<double> every30s(int count, double start_s = 0.0) {
    std::vector<double> seconds;
    for (int i = 0; i < count; ++i) seconds.push_back(start_s + i * 30.0);
    return seconds;
}

// Seconds of day (to 0.1 s) -> s4 of the records that got one.
std::map<double, double> s4Set(const DayJob& job, int satNo) {
    std::map<double, double> set;
    for (const auto& [epoch, record] : job.tec.at(satNo)) {
        if (record.s4 != -1.0) set[std::round((epoch - kDay) * kSecondsPerDay * 10.0) / 10.0] = record.s4;
    }
    return set;
}

// One record a minute from 00:00 for G05 (S4 = base + minute / 1000) and for PRN 7.
std::string s4FileText(double base) {
    std::string text = "Jdatet   PRN   S4   spare1 spare2\r\n";
    for (int minute = 0; minute < 120; ++minute) {
        const double mjd = kDay + minute * 60.0 / kSecondsPerDay;
        text += strfmt("%.8f G05 %.3f 1.5 2.5\r\n%.8f 7 %.3f\r\n", mjd, base + minute * 0.001, mjd,
                       minute == 3 ? -99.0 : 0.5);
    }
    return text;
}

}  // namespace

TEST(GetS4, PseudoS4FromS1OnEveryTenthThirtySecondRecord) {
    TempDir dir;
    DayJob job = rinexJob(dir.path(), "abcd");
    job.dataInterval_s = -1.0;  // renewed from the records
    addRecords(job, 3, every30s(60));
    addRecords(job, 8, every30s(60, 15.0), std::vector<double>(60, 43.3));
    addRecords(job, 12, every30s(60), std::vector<double>(60, 0.0));
    RunLog log;
    GetS4(job, S4Config{}, log);
    EXPECT_EQ(job.s4.source, kS4PseudoFromS1);
    EXPECT_EQ(job.dataInterval_s, 30.0);
    EXPECT_EQ(job.s4.lisnSiteMatch, 0);
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
    for (const bool withS1 : {true, false}) {
        DayJob rinex3 = rinexJob(dir.path(), "abcd");
        rinex3.obsHeader.rinex2ObsTypes.clear();
        rinex3.obsHeader.obsTypes[kGps] = {{"C1C", 0}, {"L1C", 1}, {withS1 ? "S1C" : "S2W", 2}};
        addRecords(rinex3, 3, every30s(20));
        addRecords(rinex3, 5, every30s(20));
        GetS4(rinex3, S4Config{}, log);
        EXPECT_EQ(rinex3.s4.source, withS1 ? kS4PseudoFromS1 : kS4None);
        EXPECT_EQ(s4Set(rinex3, 5).size(), withS1 ? 2u : 0u);
    }
}

TEST(GetS4, OneSecondRecordsTakePartOnlyWithinHalfASecondOfTheGrid) {
    TempDir dir;
    DayJob job = rinexJob(dir.path(), "abcd");
    job.dataInterval_s = 1.0;
    // Whole seconds for a minute, then 0.3 s late, then from 180 s on 0.4 s early. Grid
    // records (within 0.5 s of 0, 30, 60...) alternate 40/50, the others are 1000, so
    // that any record taking part wrongly changes the value.
    std::vector<double> seconds, signal;
    for (int k = 0; k < 600; ++k) {
        const double t = k < 60 ? k : k < 180 ? k + 0.3 : k - 0.4;
        const bool onGrid = std::fabs(t - 30.0 * std::round(t / 30.0)) < 0.5;
        seconds.push_back(t);
        signal.push_back(onGrid ? (static_cast<int>(std::round(t / 30.0)) % 2 == 0 ? 40.0 : 50.0) : 1000.0);
    }
    addRecords(job, 2, seconds, signal);
    addRecords(job, 4, seconds, signal);
    RunLog log;
    GetS4(job, S4Config{}, log);
    const std::map<double, double> got = s4Set(job, 2);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_NEAR(got.at(269.6), kAlternatingS4, 1e-12);
    EXPECT_NEAR(got.at(569.6), kAlternatingS4, 1e-12);
}

TEST(GetS4, LisnStationTakesItsS4FileFromTheArchiveRootsThenTheDataFolder) {
    TempDir data;
    TempDir archive;
    // Station code = the ALTA FLORESTA site's file-name code; its file is in the data folder.
    const std::string path = data.write("altanov.001-2020-01-01.s4", s4FileText(0.2) + "58849.5 G05\r\n" +
                                                                        "58849.5 X05 0.3\r\n58849.5 G05 0.3 nan\r\n");
    DayJob job = rinexJob(data.path(), "altanov");
    job.obsHeader.rinex2ObsTypes = {"L1", "L2", "C1", "P2"};  // no S1: the file alone gives S4
    addRecords(job, 5, every30s(40));
    addRecords(job, 7, every30s(40));
    addRecords(job, 9, every30s(40), std::vector<double>(40, 0.0));
    RunLog log;
    GetS4(job, S4Config{data.path() + "nowhere", {archive.path() + "missing"}}, log);
    EXPECT_EQ(job.s4.lisnSiteMatch, 1);
    EXPECT_EQ(job.s4.lisnSite.subDirectory, "alta");
    EXPECT_EQ(job.s4.source, kS4File);
    EXPECT_EQ(job.s4.filePath, path);
    EXPECT_TRUE(contains(log.messages, "\r\nReading S4 file...  \"" + path + "\"  ...done!")) << log.messages;
    for (int line : {242, 243, 244}) EXPECT_TRUE(contains(log.messages, strfmt("skipped @line# %d", line))) << line;
    ASSERT_EQ(job.s4.fileTable.at(5).size(), 120u);
    const S4FileRecord& second = job.s4.fileTable.at(5)[1];
    EXPECT_NEAR(second[0], kDay + 60.0 / kSecondsPerDay, 1e-8);
    EXPECT_EQ((S4FileRecord{0.0, second[1], second[2], second[3], second[4]}), (S4FileRecord{0.0, 5, 0.201, 1.5, 2.5}));
    // Minute values (interval 60.1 s, window 30.05 s): the grid point at 30 s takes minute
    // 0, the one at 60 s minute 1. PRN 7's -99 at minute 3 is not written.
    const std::map<double, double> g05 = s4Set(job, 5);
    ASSERT_EQ(g05.size(), 40u);
    for (int j = 0; j < 40; ++j) EXPECT_NEAR(g05.at(30.0 * j), 0.2 + (j / 2) * 0.001, 1e-12) << j;
    const std::map<double, double> prn7 = s4Set(job, 7);
    EXPECT_EQ(prn7.size(), 38u);
    EXPECT_EQ(prn7.count(180.0) + prn7.count(210.0), 0u);
    EXPECT_TRUE(s4Set(job, 9).empty());

    // By sub-directory (any case) the archive root's site folder comes before the data
    // folder; by NovAtel prefix + "s4" a site matches too.
    const std::string archived = archive.write("alta/alta.001-2020-01-01.s4", s4FileText(0.6));
    data.write("ALTA.001-2020-01-01.s4", s4FileText(0.2));
    DayJob byFolder = rinexJob(data.path(), "ALTA");
    addRecords(byFolder, 5, every30s(4));
    addRecords(byFolder, 7, every30s(4));
    GetS4(byFolder, S4Config{"", {archive.path() + "missing", archive.path()}}, log);
    EXPECT_EQ(byFolder.s4.lisnSiteMatch, 3);
    EXPECT_EQ(byFolder.s4.filePath, archived);
    EXPECT_NEAR(byFolder.tec.at(5).begin()->second.s4, 0.6, 1e-12);
    GetS4(byFolder, S4Config{"", {}}, log);
    EXPECT_EQ(byFolder.s4.filePath, data.path() + "ALTA.001-2020-01-01.s4");
    byFolder.s4.clear();
    byFolder.context.stationCode = "ALTs4";
    GetS4(byFolder, S4Config{}, log);
    EXPECT_EQ(byFolder.s4.lisnSiteMatch, 2);
}

TEST(GetS4, ScindaInputAndCompanionFilesAndTooFewSatellites) {
    TempDir data;
    DayJob job = rinexJob(data.path(), "abcd");
    job.kinds.rinexObs = 0;
    job.kinds.scinda = 1;
    addRecords(job, 5, every30s(20));
    addRecords(job, 7, every30s(20));
    RunLog log;
    GetS4(job, S4Config{}, log);
    EXPECT_EQ(job.s4.source, kS4Scinda);
    EXPECT_TRUE(s4Set(job, 5).empty());

    // Another receiver's recording reads S4 from the day's ".scn" companion, when it is one.
    job.kinds.scinda = 0;
    job.kinds.novatel = 1;
    const std::string scn = data.write("abcd_200101.scn", s4FileText(0.4));
    GetS4(job, S4Config{}, log);
    EXPECT_EQ(job.s4.source, kS4File);
    EXPECT_EQ(job.s4.filePath, scn);
    EXPECT_NEAR(job.tec.at(5).rbegin()->second.s4, 0.409, 1e-12);
    data.write("abcd_200101.scn", "58849.0 G05 0.3\r\n");
    GetS4(job, S4Config{}, log);
    EXPECT_TRUE(contains(log.messages, "its first line does not begin with \"Jdatet\"")) << log.messages;
    EXPECT_EQ(job.s4.source, kS4None);
    EXPECT_TRUE(job.s4.filePath.empty());

    job.tec.erase(7);
    job.tec.at(5).begin()->second.s4 = -1.0;
    RunLog singleLog;
    GetS4(job, S4Config{}, singleLog);
    EXPECT_EQ(singleLog.messages, "\r\nError! not enough data.. process aborted @GetS4!\r\n");
    EXPECT_EQ(job.tec.at(5).begin()->second.s4, -1.0);
}

TEST(GetS4Bjfs, PseudoS4EveryFiveMinutesPerSatellite) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    const std::string set = shared + "set1_bjfs_2020_001/";
    PlainCopy p1c1(set + "P1C12001.DCB.Z");
    DayFiles files;
    files.observationPath = set + "bjfs0010.20o";
    files.navigationPaths = {set + "brdc0010.20n"};
    files.p1c1Path = p1c1.path();
    DayJob job;
    RunLog log;
    ASSERT_EQ(ReadDayFiles(job, files, log), kDayRead) << log.messages;
    ASSERT_EQ(RawAnalyse(job, log), 0);
    job.kinds.rinexObs = 1;
    job.context.stationCode = "bjfs";
    GetS4(job, S4Config{}, log);
    EXPECT_EQ(job.s4.source, kS4PseudoFromS1);

    // Every record of this regular 30 s file lies on its satellite's grid: one S4 per ten.
    int values = 0, tenths = 0, fiveMinuteSteps = 0, belowOne = 0;
    for (const auto& [satNo, series] : job.tec) {
        tenths += static_cast<int>(series.size() / 10);
        double previous = -1.0;
        for (const auto& [epoch, record] : series) {
            if (record.s4 == -1.0) continue;
            ASSERT_TRUE(record.s4 >= 0.0 && std::isfinite(record.s4)) << satNo << " " << record.s4;
            ++values;
            belowOne += record.s4 < 1.0 ? 1 : 0;
            if (previous > 0.0 && std::fabs((epoch - previous) * kSecondsPerDay - 300.0) < 0.01) ++fiveMinuteSteps;
            previous = epoch;
        }
    }
    EXPECT_EQ(values, tenths);
    EXPECT_GT(fiveMinuteSteps, (values - static_cast<int>(job.tec.size())) * 9 / 10);
    EXPECT_GT(belowOne, values * 95 / 100);
}
