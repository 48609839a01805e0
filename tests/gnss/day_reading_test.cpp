// Reading a station-day: files that cannot be read end the day with a reason in the log,
// DCB files that give nothing are named, and nothing of it reads as "done!".
#include "gnss/day_reading.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"

namespace {

const std::string kData = std::string(VELARIX_TEST_DATA) + "/";
// ESBC on 2020-06-25, with a header position, and ephemerides of that day.
const std::string kObservation = kData + "obs_esbc_r305_excerpt.rnx";
const std::string kNavigation = kData + "nav_esbc_r305_excerpt.rnx";

}  // namespace

TEST(ReadDayFiles, UnreadableOrForeignFilesEndTheDayWithTheirReason) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() + "folder.20n");
    std::filesystem::create_directory(dir.path() + "folder.20o");
    const struct {
        DayFiles files;
        int result;
        std::string logged;
    } cases[] = {
        {{kObservation, {dir.path() + "folder.20n"}, "", "", ""}, kDayNavigationFailed,
         "\r\nError! navigation file " + dir.path() + "folder.20n: not a regular file"},
        {{kObservation, {kData + "bad/blank.10n"}, "", "", ""}, kDayNavigationFailed,
         "\r\nError! no ephemeris in the navigation file(s)\r\n"},
        {{kObservation, {kData + "bad/test_input_rinex2_nav_UnsupportedRinex.99n"}, "", "", ""}, kDayNavigationFailed,
         "\r\nError! no ephemeris in the navigation file(s)\r\n"},
        {{dir.path() + "folder.20o", {kNavigation}, "", "", ""}, kDayObservationFailed,
         "\r\nError! observation input file " + dir.path() + "folder.20o: not a regular file"},
        {{kData + "bad/test_input_rinex2_obs_NotObs.06o", {kNavigation}, "", "", ""}, kDayObservationFailed,
         "\r\nError! not a RINEX observation file: " + kData + "bad/test_input_rinex2_obs_NotObs.06o"},
        {{kObservation, {kData + "nav_brdc_r304_excerpt.rnx"}, "", "", ""}, kDayNavigationFailed,
         "\r\nError! no ephemeris within a day of the observations: ephemerides 2024-01-09 23:30 to 2024-01-10 "
         "02:00, observations 2020-06-25 00:00 to 2020-06-25 00:00\r\n"},
        {{kObservation, {kNavigation}, "", "", ""}, kDayRead, "\r\nObs. file read completed.... \r\n"},
    };
    for (const auto& c : cases) {
        DayJob job;
        RunLog log;
        EXPECT_EQ(ReadDayFiles(job, c.files, log), c.result) << c.logged;
        EXPECT_TRUE(contains(log.messages, c.logged)) << log.messages;
    }
}

TEST(ReadDayFiles, DcbFilesThatGiveNothingAreNamedAndTheDayGoesOn) {
    const std::string fixtures = kData + "gnss/";
    DayJob job;
    RunLog read;
    ASSERT_EQ(ReadDayFiles(job,
                           {kObservation, {kNavigation}, fixtures + "P1C12001.DCB", fixtures + "P1P22001.DCB",
                            fixtures + "P1P22001_ALL.DCB"},
                           read),
              kDayRead);
    EXPECT_TRUE(contains(read.messages, "\r\nReading DCB file(s).... done!")) << read.messages;

    TempDir dir;
    std::filesystem::create_directory(dir.path() + "P1C12001.DCB");
    const std::string truncated = dir.write("P1P22001.DCB", readWholeFile(fixtures + "P1P22001.DCB").substr(0, 100));
    RunLog log;
    ASSERT_EQ(ReadDayFiles(job, {kObservation, {kNavigation}, dir.path() + "P1C12001.DCB", truncated, ""}, log),
              kDayRead);
    EXPECT_TRUE(contains(log.messages, "\r\nReading DCB file(s).... \r\nError! DCB file " + dir.path() +
                                           "P1C12001.DCB: not a regular file\r\nError! DCB file " + truncated +
                                           ": no '***' line, nothing read\r\n"))
        << log.messages;
    EXPECT_FALSE(contains(log.messages, "DCB file(s).... done!")) << log.messages;
    EXPECT_EQ(log.errors, dir.path() + "P1C12001.DCB .. DCB file not read\r\n" + truncated + " .. DCB file not read\r\n");
    EXPECT_EQ(job.dcb.loaded, 0);
}

TEST(TecTool, ExitsOneWithTheReasonWhenTheDayGivesNoTec) {
    TempDir dir;
    ASSERT_EQ(runCommand("mkfifo '" + dir.path() + "pipe.20o'").exitCode, 0);
    const auto tec = [](const std::string& arguments) {
        return runCommand("timeout 60 " + std::string(VELARIX_TOOLS_BIN) + " tec " + arguments + " 2>&1 >/dev/null");
    };
    const std::string navigationFailed =
        "velarix-tools: tec: the navigation file could not be read, or holds no ephemeris within a day of the "
        "observations\n";
    const struct {
        std::string arguments;
        std::string reason;
    } cases[] = {
        {dir.path() + "pipe.20o " + kNavigation, "velarix-tools: tec: the observation file could not be read\n"},
        {kObservation + " " + kData + "bad/blank.10n", navigationFailed},
    };
    for (const auto& c : cases) {
        const ToolRun run = tec(c.arguments);
        EXPECT_EQ(run.exitCode, 1) << c.arguments;
        EXPECT_TRUE(run.output.ends_with(c.reason)) << run.output;
    }

    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    // A navigation file of another day: once TEC with the geometry of orbits four years off.
    const std::string bjfs = shared + "set1_bjfs_2020_001/bjfs0010.20o ";
    const ToolRun otherDay = tec(bjfs + shared + "set3_cat2_2016_001/cat20010.16n");
    EXPECT_EQ(otherDay.exitCode, 1);
    EXPECT_TRUE(contains(otherDay.output, "\nError! no ephemeris within a day of the observations: ephemerides "
                                          "2016-01-01 00:00 to 2016-01-02 23:59, observations 2020-01-01 00:00 to "
                                          "2020-01-01 23:59\n"))
        << otherDay.output;
    EXPECT_TRUE(otherDay.output.ends_with(navigationFailed)) << otherDay.output;

    // Calibrated without a usable DCB file: the table comes, and the log says what it lacks.
    std::filesystem::create_directory(dir.path() + "P1C12001.DCB");
    const std::string empty = dir.write("P1P22001_ALL.DCB", "");
    const ToolRun calibrated = tec(bjfs + shared + "set1_bjfs_2020_001/brdc0010.20n " + dir.path() +
                                   "P1C12001.DCB " + empty + " --calibrated");
    EXPECT_EQ(calibrated.exitCode, 0) << calibrated.output;
    EXPECT_TRUE(contains(calibrated.output, "\nReading DCB file(s).... \nError! DCB file " + dir.path() +
                                                "P1C12001.DCB: not a regular file\nError! DCB file " + empty +
                                                ": empty, nothing read\n"))
        << calibrated.output;
    EXPECT_TRUE(contains(calibrated.output, "\nWarning! no usable DCB file: every satellite bias is zero\n"));
}
