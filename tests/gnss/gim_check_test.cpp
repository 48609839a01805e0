// Our vertical TEC against global ionosphere maps: the statistics on a flat synthetic
// map, the table reader, and the calibrated TEC of two real station-days.
#include "gnss/checks/gim_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "gnss/bias/bias_estimation.h"
#include "platform/run_log.h"
#include "test_support.h"

namespace velarix {

namespace {
const double kDay = 58849.0;
const double kHour = 1.0 / 24.0;
}  // namespace

TEST(GimCheck, DifferencesPerHourAndForTheDayTheTecTableAndUsageErrors) {
    // 10 TECU everywhere between 10 N and 10 S, from the day's start to the next.
    IonexMaps maps;
    maps.latitudes = {10.0, -10.0, -10.0, 3};
    maps.longitudes = {-180.0, 180.0, 90.0, 5};
    for (double epoch : {kDay, kDay + 1.0}) maps.maps.push_back({epoch, std::vector<double>(15, 10.0)});
    const std::vector<VtecSample> samples = {
        {kDay + 0.5 * kHour, 45.0, 0.0, 0.0, 12.0},     // +2
        {kDay + 0.7 * kHour, 60.0, 5.0, 300.0, 9.0},    // -1
        {kDay + 1.2 * kHour, 31.0, -5.0, 170.0, 13.0},  // +3
        {kDay + 2.0 * kHour, 30.0, 0.0, 0.0, 50.0},     // at the mask
        {kDay + 2.0 * kHour, 50.0, 20.0, 0.0, 50.0},    // off the grid
    };
    const GimCheckResult r = CompareWithMaps(samples, maps, 30.0);
    EXPECT_TRUE(r.samples == 5 && r.belowMask == 1 && r.withoutMapValue == 1 && r.all.count == 3);
    EXPECT_NEAR(r.all.mean_TECU, 4.0 / 3.0, 1e-12);
    EXPECT_NEAR(r.all.std_TECU, std::sqrt((4.0 / 9 + 49.0 / 9 + 25.0 / 9) / 2.0), 1e-12);
    EXPECT_NEAR(r.all.rms_TECU, std::sqrt(14.0 / 3.0), 1e-12);
    EXPECT_NEAR(r.byHour[0].std_TECU, std::sqrt(4.5), 1e-12);  // +2 and -1
    EXPECT_TRUE(r.byHour[1].count == 1 && r.byHour[1].std_TECU == 0.0 && r.byHour[2].count == 0);
    EXPECT_EQ(CompareWithMaps(samples, maps, 10.0).all.count, 4);  // a lower mask takes 30 degrees in

    // The table of `tec`: columns by name, rows that cannot be read.
    TempDir dir;
    RunLog log;
    std::vector<VtecSample> read;
    const std::string table =
        "satellite\tMJD\televation_deg\tippLongitude_deg\tippLatitude_deg\tverticalTec_TECU\tS4\n"
        "G01\t58849.5\t45.5\t115.25\t39.75\t12.125\t-1.000\n"
        "G02\t58849.5\tx\t115.25\t39.75\t12.125\t-1.000\n"
        "G03\t58849.75\t80\t116\t40\t-3.5\t0.125\n";
    ASSERT_EQ(ReadTecToolTable(dir.write("cal.tsv", table), read, log), VtecReadResult::kRead);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_TRUE(read[0].elevation_deg == 45.5 && read[0].ippLatitude_deg == 39.75 &&
                read[0].ippLongitude_deg == 115.25 && read[1].verticalTec_TECU == -3.5);
    EXPECT_TRUE(contains(log.messages, "Warning! TEC table row not readable, skipped @line# 3")) << log.messages;
    EXPECT_EQ(ReadTecToolTable(dir.write("short.tsv", "MJD\televation_deg\tippLatitude_deg\n1\t2\t3\n"), read, log),
              VtecReadResult::kNoSamples);
    EXPECT_TRUE(contains(log.messages, "header has no column \"ippLongitude_deg\" @line# 1"));
    // The tools check the DCB file names.
    EXPECT_EQ(runTools("tec /data/a.20o /data/b.20n /data/codg0010.20i.Z").exitCode, 2);
}

namespace {

// `tec --calibrated` on a real day (`files`: OBS NAV DCB... of the day's folder), then
// `gimcheck` against CODE's map of the day: the bias summary on standard error, and the
// comparison's day line.
std::string calibratedAgainstCode(const std::string& day, const std::string& files, DifferenceStats& all,
                                  const std::string& options = "") {
    TempDir dir;
    const std::string set = sharedDataDir() + day, ionex = "codg0010." + day.substr(12, 2) + "i.Z";
    std::string arguments = "tec";
    std::istringstream names(files);
    for (std::string name; names >> name;) arguments += " '" + set + name + "'";
    const std::string table = dir.path() + "calibrated.tsv";
    const ToolRun run = runTools(arguments + " --calibrated " + options, "2>&1 > '" + table + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "\nSummary of biases applied in TEC units as...\n")) << run.output;
    EXPECT_TRUE(contains(readWholeFile(table),
                         "MJD\tsatellite\televation_deg\tazimuth_deg\tippLatitude_deg\tippLongitude_deg\t"
                         "codeTec_TECU\tphaseTec_TECU\tslantTec_TECU\tverticalTec_TECU\tS4\n"));
    const ToolRun check = runTools("gimcheck '" + table + "' '" + set + ionex + "'", "2>/dev/null");
    EXPECT_EQ(check.exitCode, 0);
    const char* day = check.output.c_str() + check.output.rfind("\nall\t");
    EXPECT_EQ(std::sscanf(day, "\nall\t%d\t%lf\t%lf\t%lf", &all.count, &all.mean_TECU, &all.std_TECU, &all.rms_TECU), 4)
        << check.output;
    return run.output;
}

// The number after `label` in the summary; NaN without the label.
double summaryValue(const std::string& summary, const std::string& label) {
    const std::size_t at = summary.find(label);
    return at == std::string::npos ? std::nan("") : std::atof(summary.c_str() + at + label.size());
}

}  // namespace

// Measured when the bias stage came in (count, mean, std, RMS in TECU): BJFS 14576,
// -1.60, 1.14, 1.96; CAT2 14904, -6.49, 1.88, 6.76. The stage-2 receiver bias, which
// sets the night minimum of the day's curve to 2 TECU, accounts for -1.1 and -2.0 TECU
// of the means. BJFS must stay within 3 TECU; CAT2 must not get worse by more than
// 0.5 TECU. CODE lists a receiver P1-P2 bias of -14.2 ns for BJFS, its maps -14.4 ns for
// the day; CAT2 (C1 with the P1-C1 correction) has no published one.
TEST(GimCheckAcceptance, CalibratedTecAgainstCodeMaps) {
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    DifferenceStats b, c;
    const std::string bjfs =
        calibratedAgainstCode("set1_bjfs_2020_001/", "bjfs0010.20o brdc0010.20n P1P22001_ALL.DCB.Z P1C12001.DCB.Z", b);
    EXPECT_TRUE(contains(bjfs, "\nStation Lat 39.609, Lon 115.892, Alt 88.240\n")) << bjfs;
    EXPECT_NEAR(summaryValue(bjfs, "stage1= ") / kTecuPerNsP1P2, -14.7, 0.5);
    // The night minimum of the curve (about 3 TECU here) is brought to 2.
    EXPECT_NEAR(summaryValue(bjfs, "stage2= "), -1.1, 0.3);
    EXPECT_NEAR(summaryValue(bjfs, "Min. TEC = "), 2.0, 0.3);
    EXPECT_TRUE(b.count > 14000 && std::fabs(b.mean_TECU) <= 3.0 && b.rms_TECU <= 3.0);

    const std::string cat2 =
        calibratedAgainstCode("set3_cat2_2016_001/", "cat20010.16o cat20010.16n P1P21601_ALL.DCB.Z P1C11601.DCB.Z", c);
    EXPECT_TRUE(contains(cat2, "\nStation Lat 33.312, Lon -118.334, Alt 477.960\n")) << cat2;
    EXPECT_NEAR(summaryValue(cat2, "stage1= "), 97.7, 1.0);
    EXPECT_NEAR(summaryValue(cat2, "Min. TEC = "), 2.0, 0.3);
    EXPECT_TRUE(c.count > 14000 && std::fabs(c.mean_TECU) <= 7.0 && c.rms_TECU <= 7.25);
    std::printf("gimcheck (count, mean, std, RMS): BJFS %d %.2f %.2f %.2f, CAT2 %d %.2f %.2f %.2f\n", b.count,
                b.mean_TECU, b.std_TECU, b.rms_TECU, c.count, c.mean_TECU, c.std_TECU, c.rms_TECU);
}

// The calibration choices with CODE's mapping against CODE's maps of the day (elevation
// above 30 deg). BJFS: every choice but floor within 1.5 TECU of the map's level and 2
// TECU RMS; CAT2 (C1 with the P1-C1 correction, no published receiver DCB): the best
// choice at least halves the -6.5 TECU of the floor with the 350 km shell.
TEST(GimCheckAcceptance, CalibrationChoicesWithTheModifiedMapping) {
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    const std::string bjfsFiles = "bjfs0010.20o brdc0010.20n P1P22001_ALL.DCB.Z P1C12001.DCB.Z";
    for (const char* choice : {"spread", "model", "dcb"}) {
        DifferenceStats s;
        const std::string log = calibratedAgainstCode("set1_bjfs_2020_001/", bjfsFiles, s,
                                                      std::string("--mapping mslm --calibration ") + choice);
        EXPECT_TRUE(s.count > 14000 && std::fabs(s.mean_TECU) <= 1.5 && s.rms_TECU <= 2.0)
            << choice << ": " << s.count << " " << s.mean_TECU << " " << s.rms_TECU;
        // Without the night-time lift the vertical TEC is the slant TEC mapped.
        EXPECT_EQ(summaryValue(log, "stage2= "), 0.0) << choice;
        std::printf("BJFS mslm %s: %d %.2f %.2f %.2f\n", choice, s.count, s.mean_TECU, s.std_TECU, s.rms_TECU);
        if (std::string(choice) == "dcb") {
            // BJFS has only a GLONASS row in the month's file: the value is the map header's.
            EXPECT_TRUE(contains(log, "published DCB of the station: -14.396 ns (-41.06 TECU), from the station "
                                      "DCBs in the header of ")) << log;
            EXPECT_TRUE(contains(log, "codg0010.20i.Z")) << log;
        }
        if (std::string(choice) == "model") {
            EXPECT_TRUE(contains(log, "Info! receiver bias model: fitted, ")) << log;
            EXPECT_NEAR(summaryValue(log, "stage1= ") / kTecuPerNsP1P2, -14.4, 0.5);
        }
        if (std::string(choice) == "spread") {
            EXPECT_NEAR(summaryValue(log, "stage1= ") / kTecuPerNsP1P2, -14.4, 0.2);
        }
    }

    const std::string cat2Files = "cat20010.16o cat20010.16n P1P21601_ALL.DCB.Z P1C11601.DCB.Z";
    double best = 1e9;
    for (const char* choice : {"spread", "model", "dcb"}) {
        DifferenceStats s;
        const std::string log = calibratedAgainstCode("set3_cat2_2016_001/", cat2Files, s,
                                                      std::string("--mapping mslm --calibration ") + choice);
        if (std::string(choice) == "dcb") {
            EXPECT_TRUE(contains(log, "no published DCB of the station")) << log;
        }
        best = std::min(best, std::fabs(s.mean_TECU));
        std::printf("CAT2 mslm %s: %d %.2f %.2f %.2f\n", choice, s.count, s.mean_TECU, s.std_TECU, s.rms_TECU);
    }
    EXPECT_LE(best, 6.49 / 2.0);
}

TEST(GimCheck, VerdictNamesTheLimitThatFails) {
    DifferenceStats s{100, -0.4, 1.1, 1.17, 10.0};
    EXPECT_EQ(GimVerdict(s), "verdict: agrees with the map: mean -0.40 TECU, RMS 1.17 TECU (limits 1.5 and 2.0)");
    s.mean_TECU = -2.32;
    s.rms_TECU = 3.0;
    EXPECT_EQ(GimVerdict(s), "verdict: level below the map by 2.32 TECU (limit 1.5), RMS 3.00 TECU, std 1.10 TECU");
    s.mean_TECU = 1.5;
    s.rms_TECU = 2.01;
    EXPECT_EQ(GimVerdict(s),
              "verdict: level agrees (mean +1.50 TECU) but the scatter does not: RMS 2.01 TECU (limit 2.0)");
    EXPECT_EQ(GimVerdict(DifferenceStats{}), "verdict: nothing compared");
}

}  // namespace velarix
