// Reading a station-day: files that cannot be read end the day with a reason in the log,
// DCB files that give nothing are named, session files that fail are left out, the
// station position comes from the first source that has one, out-of-date ephemerides are
// reported (and a navigation file of another day refused), and the processing day is the
// day of most epochs.
#include "gnss/day_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>

#include "geodesy/geodetic.h"
#include "geodesy/time.h"
#include "gnss/orbits/orbit.h"
#include "gnss/tec/raw_analyse.h"
#include "test_support.h"

namespace velarix {

namespace {

const std::string kData = std::string(VELARIX_TEST_DATA) + "/";
// BJFS on 2020-01-01, RINEX 2.11 with a header position, two epochs of nine GPS
// satellites; ephemerides of seven of them from 00:00.
const std::string kObservation = kData + "obs_bjfs_excerpt.20o";
const std::string kNavigation = kData + "nav_brdc0010_excerpt.20n";
// ESBC on 2020-06-25, RINEX 3.05.
const std::string kEsbcObservation = kData + "obs_esbc_r305_excerpt.rnx";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(ReadDayFiles, UnreadableOrForeignFilesEndTheDayWithTheirReason) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() + "folder.20n");
    std::filesystem::create_directory(dir.path() + "folder.20o");
    // Without L2 and P2 no TEC can be derived: the reader stops after the header.
    const std::string noTec = dir.write(
        "notec0010.20o", replaced(readWholeFile(kObservation),
                                  "     7    L1    L2    C1    P1    P2    S1    S2            # / TYPES OF OBSERV",
                                  "     3    L1    C1    S1                                    # / TYPES OF OBSERV"));
    const std::string text = readWholeFile(kObservation);
    const std::string headerOnly =
        dir.write("head0010.20o", text.substr(0, text.find("END OF HEADER") + std::string("END OF HEADER\n").size()));
    const std::string empty = dir.write("empty0010.20o", "");
    const struct {
        DayFiles files;
        DayReadResult result;
        std::string logged;
        std::string error;  // what Log_errors.txt gets
    } cases[] = {
        {{{kObservation}, {dir.path() + "folder.20n"}, "", "", ""}, DayReadResult::kNavigationFailed,
         "\r\nError! navigation file " + dir.path() + "folder.20n: not a regular file", ""},
        {{{kObservation}, {kData + "bad/blank.10n"}, "", "", ""}, DayReadResult::kNavigationFailed,
         "\r\nError! no ephemeris in the navigation file(s)\r\n", ""},
        {{{kObservation}, {kData + "bad/test_input_rinex2_nav_UnsupportedRinex.99n"}, "", "", ""},
         DayReadResult::kNavigationFailed, "\r\nError! no ephemeris in the navigation file(s)\r\n", ""},
        {{{dir.path() + "folder.20o"}, {kNavigation}, "", "", ""}, DayReadResult::kObservationFailed,
         "\r\nError! observation input file " + dir.path() + "folder.20o: not a regular file",
         dir.path() + "folder.20o .. not a regular file\r\n"},
        {{{dir.path() + "missing.20o"}, {kNavigation}, "", "", ""}, DayReadResult::kObservationFailed,
         "\r\nCan't open observation input file " + dir.path() + "missing.20o",
         dir.path() + "missing.20o .. can't open file\r\n"},
        {{{empty}, {kNavigation}, "", "", ""}, DayReadResult::kObservationFailed,
         "\r\nError! incomplete header... end of file..", empty + " .. incomplete header\r\n"},
        {{{kData + "bad/test_input_rinex2_obs_NotObs.06o"}, {kNavigation}, "", "", ""},
         DayReadResult::kObservationFailed,
         "\r\nError! not a RINEX observation file: " + kData + "bad/test_input_rinex2_obs_NotObs.06o",
         kData + "bad/test_input_rinex2_obs_NotObs.06o .. Obs. file read ERRORS\r\n"},
        // The reader used to end here with its status "read": the day went on with nothing.
        {{{noTec}, {kNavigation}, "", "", ""}, DayReadResult::kObservationFailed,
         "\r\nError! @OBS_read: one or more of Required observable(s) P1/C1,P2,L1,L2 missing! in RinexVer2",
         noTec + " .. Obs. file read ERRORS\r\n"},
        {{{headerOnly}, {kNavigation}, "", "", ""}, DayReadResult::kObservationFailed,
         "\r\nError! no observation epoch in " + headerOnly + "\r\nObs. file read ERRORS.... \r\n",
         headerOnly + " .. Obs. file read ERRORS\r\n"},
        // Ephemerides of 2024 for observations of 2020: no geometry from them.
        {{{kEsbcObservation}, {kData + "nav_brdc_r304_excerpt.rnx"}, "", "", ""}, DayReadResult::kNavigationFailed,
         "\r\nInfo!Reading Rinex3 format.. in testing phase.. please check outputs!\r\n",
         ""},
        {{{kEsbcObservation}, {kData + "nav_brdc_r304_excerpt.rnx"}, "", "", ""}, DayReadResult::kNavigationFailed,
         "\r\nError! no ephemeris for any satellite: the navigation file(s) cover 2024-01-09 23:30 to 2024-01-10 "
         "02:00 (within 4 h, 30 min for GLONASS and SBAS), the observations 2020-06-25 00:00 to 2020-06-25 00:00\r\n",
         ""},
        {{{kObservation}, {kNavigation}, "", "", ""},
         DayReadResult::kRead,
         "\r\nObs. file read completed.... \r\n",
         ""},
    };
    for (const auto& c : cases) {
        DayJob job;
        RunLog log;
        EXPECT_EQ(ReadDayFiles(job, c.files, log), c.result) << c.logged;
        EXPECT_TRUE(contains(log.messages, c.logged)) << log.messages;
        EXPECT_EQ(log.errors, c.error) << c.logged;
    }
}

TEST(ReadDayFiles, SessionFilesThatFailAreLeftOutAndNamed) {
    TempDir dir;
    const std::string broken = dir.write("bjfs001b.20o", "not an observation file\n");
    DayJob job;
    RunLog log;
    ASSERT_EQ(ReadDayFiles(job, {{broken, kObservation}, {kNavigation}, "", "", ""}, log), DayReadResult::kRead)
        << log.messages;
    EXPECT_EQ(log.errors, broken + " .. Obs. file read ERRORS\r\n");
    EXPECT_TRUE(contains(log.messages, "\r\nObs. file read completed.... \r\n"));
    EXPECT_EQ(job.obs.bySatellite.size(), 9u);
}

TEST(ReadDayFiles, DcbFilesThatGiveNothingAreNamedAndTheDayGoesOn) {
    const std::string fixtures = kData + "gnss/";
    DayJob job;
    RunLog read;
    ASSERT_EQ(ReadDayFiles(job,
                           {{kObservation}, {kNavigation}, fixtures + "P1C12001.DCB", fixtures + "P1P22001.DCB",
                            fixtures + "P1P22001_ALL.DCB"},
                           read),
              DayReadResult::kRead);
    EXPECT_TRUE(contains(read.messages, "\r\nReading DCB file(s).... done!")) << read.messages;

    TempDir dir;
    std::filesystem::create_directory(dir.path() + "P1C12001.DCB");
    const std::string truncated = dir.write("P1P22001.DCB", readWholeFile(fixtures + "P1P22001.DCB").substr(0, 100));
    RunLog log;
    job.beginDay();
    ASSERT_EQ(ReadDayFiles(job, {{kObservation}, {kNavigation}, dir.path() + "P1C12001.DCB", truncated, ""}, log),
              DayReadResult::kRead);
    EXPECT_TRUE(contains(log.messages, "\r\nReading DCB file(s).... \r\nError! DCB file " + dir.path() +
                                           "P1C12001.DCB: not a regular file\r\nError! DCB file " + truncated +
                                           ": no '***' line, nothing read\r\n"))
        << log.messages;
    EXPECT_FALSE(contains(log.messages, "DCB file(s).... done!")) << log.messages;
    EXPECT_EQ(log.errors, dir.path() + "P1C12001.DCB .. DCB file not read\r\n" + truncated + " .. DCB file not read\r\n");
    EXPECT_EQ(job.dcb.loaded, 0);
}

TEST(ReadDayFiles, TheHeaderPositionReplacesTheCataloguesAndTheCataloguesSparesTheSolution) {
    // The station list's position, in geodetic degrees and metres, set before the read.
    const auto listed = [](DayJob& job) { job.station.setFromGeodetic(39.6086, 115.89249, 88.2); };
    // The header's position wins over the list's.
    DayJob withHeader;
    RunLog log;
    withHeader.station.setFromGeodetic(10.0, 20.0, 30.0);
    ASSERT_EQ(ReadDayFiles(withHeader, {{kObservation}, {kNavigation}, "", "", ""}, log), DayReadResult::kRead);
    EXPECT_NEAR(withHeader.station.x_m, -2148744.6531, 1e-3);
    EXPECT_NEAR(withHeader.context.latitudeDeg, withHeader.station.latitude_deg, 1e-12);

    // Without a header position the list's stands, with its Earth-fixed place: no solution.
    TempDir dir;
    const std::string unplaced =
        dir.write("bjfs0010.20o", replaced(readWholeFile(kObservation), " -2148744.6531  4426641.5827  4044656.5218",
                                           "        0.0000        0.0000        0.0000"));
    DayJob listedOnly;
    listed(listedOnly);
    RunLog listedLog;
    ASSERT_EQ(ReadDayFiles(listedOnly, {{unplaced}, {}, "", "", ""}, listedLog), DayReadResult::kRead)
        << listedLog.messages;
    EXPECT_FALSE(contains(listedLog.messages, "Station coordinates not available"));
    const EcefPosition expected = geodeticToEcef(39.6086, 115.89249, 88.2);
    EXPECT_NEAR(listedOnly.station.x_m, expected.x_m, 1e-6);
    EXPECT_NEAR(listedOnly.station.z_m, expected.z_m, 1e-6);
    // The header's own place, 100 m or so from the list's rounded one: the geometry is the Earth's.
    EXPECT_LT(std::hypot(listedOnly.station.x_m + 2148744.6531, listedOnly.station.y_m - 4426641.5827,
                         listedOnly.station.z_m - 4044656.5218),
              200.0);
    EXPECT_EQ(listedOnly.context.longitudeDeg, listedOnly.station.longitude_deg);

    // Neither: the solution is tried, and two epochs give none.
    DayJob unknown;
    RunLog unknownLog;
    EXPECT_EQ(ReadDayFiles(unknown, {{unplaced}, {}, "", "", ""}, unknownLog), DayReadResult::kNoStationPosition);
    EXPECT_TRUE(contains(unknownLog.messages, "\r\nError! Station coordinates not available!.. computing\r\n"));
}

TEST(ProcessingDay, TheDayOfMostEpochsNotOfTheFirstRecord) {
    const double day = 58849.0;
    const auto table = [](const std::vector<std::pair<double, int>>& satellites) {
        // Each satellite: first epoch and number of 30 s records.
        ObsTable obs;
        int satNo = 1;
        for (const auto& [first, count] : satellites) {
            for (int i = 0; i < count; ++i) {
                SatEpochRecord record;
                record.satNo = satNo;
                record.epochMjd = first + i * 30.0 / 86400.0;
                obs.bySatellite[satNo].push_back(record);
            }
            ++satNo;
        }
        return obs;
    };
    const struct {
        std::vector<std::pair<double, int>> satellites;
        double expected;
    } cases[] = {
        {{{day, 2880}}, day},                                   // a whole day
        {{{day - 10.0 / 1440.0, 2880}}, day},                   // starts ten minutes early
        {{{day + 0.5, 2880}}, day},                             // noon to noon: a tie, the earlier day
        {{{day - 1.0 + 0.9, 400}, {day + 0.01, 100}}, day - 1},  // most epochs the day before
        {{{day - 0.01, 4}, {day + 0.01, 100}}, day},            // a satellite of 4 records does not count
        {{}, 0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(ProcessingDayMjd(table(c.satellites)), c.expected) << c.satellites.size();
}

TEST(ReadDayFiles, EpochsWithoutACurrentEphemerisAreReported) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    // BJFS's day with only the records broadcast before 06:00: the evening has none.
    std::istringstream nav(readWholeFile(shared + "set1_bjfs_2020_001/brdc0010.20n"));
    std::string text, line;
    while (std::getline(nav, line) && (text += line + "\n", !contains(line, "END OF HEADER"))) {
    }
    std::vector<std::string> record;
    while (std::getline(nav, line)) {
        record.push_back(line);
        if (record.size() < 8) continue;
        if (std::stoi(record[0].substr(12, 2)) < 6) {
            for (const std::string& kept : record) text += kept + "\n";
        }
        record.clear();
    }
    TempDir dir;
    const std::string morning = dir.write("brdc0010.20n", text);
    DayJob job;
    RunLog log;
    ASSERT_EQ(ReadDayFiles(job, {{shared + "set1_bjfs_2020_001/bjfs0010.20o"}, {morning}, "", "", ""}, log),
              DayReadResult::kRead);
    const std::size_t at = log.messages.find("\r\nWarning! ");
    ASSERT_NE(at, std::string::npos) << log.messages;
    EXPECT_TRUE(contains(log.messages.substr(at), " satellite(s) without a current ephemeris (none within 4 h, 30 min "
                                                  "for GLONASS and SBAS) at some epochs, left without geometry there; "
                                                  "epochs: G01 "))
        << log.messages.substr(at, 400);
    // The orbit of a 05:xx record is not carried to the evening any more: the TEC stage
    // leaves those records without geometry.
    SatState state;
    const double evening = MjdFromCivil(2020, 1, 1, 20, 0, 0.0);
    EXPECT_FALSE(SatellitePosition(job.ephemerides, 1, evening, state, EphemerisUse::kCurrentRecord));
    EXPECT_TRUE(SatellitePosition(job.ephemerides, 1, evening, state));
    ASSERT_EQ(RawAnalyse(job, log), TecPassResult::kDone);
    int morningPlaced = 0, eveningPlaced = 0;
    for (const auto& [epoch, record] : job.tec.at(1)) {
        if (record.elevation_deg == 0.0) continue;
        (epoch < MjdFromCivil(2020, 1, 1, 9, 0, 0.0) ? morningPlaced : eveningPlaced) += 1;
    }
    EXPECT_GT(morningPlaced, 100);
    EXPECT_EQ(eveningPlaced, 0);
}

TEST(TecTool, ExitsOneWithTheReasonWhenTheDayGivesNoTec) {
    TempDir dir;
    ASSERT_EQ(runCommand("mkfifo '" + dir.path() + "pipe.20o'").exitCode, 0);
    const auto tec = [](const std::string& arguments) {
        return runCommand("timeout 60 " + std::string(VELARIX_TOOLS_BIN) + " tec " + arguments + " 2>&1 >/dev/null");
    };
    const std::string navigationFailed =
        "velarix-tools: tec: the navigation file could not be read, or holds no current ephemeris for the "
        "observations\n";
    const struct {
        std::string arguments;
        std::string reason;
    } cases[] = {
        {dir.path() + "pipe.20o " + kNavigation, "velarix-tools: tec: the observation file could not be read\n"},
        {kObservation + " " + kData + "bad/blank.10n", navigationFailed},
        {dir.write("abcd0010.20o.gz", "not gzip") + " " + kNavigation,
         "velarix-tools: tec: an observation file could not be expanded\n"},
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
    EXPECT_TRUE(contains(otherDay.output, "\nError! no ephemeris for any satellite: the navigation file(s) cover "
                                          "2016-01-01 00:00 to 2016-01-02 23:59 (within 4 h, 30 min for GLONASS and "
                                          "SBAS), the observations 2020-01-01 00:00 to 2020-01-01 23:59\n"))
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

TEST(DayJob, ADayBeginsEmptyAndAFileWithItsOwnContext) {
    DayJob job;
    job.beginFile("/data/bjfs0010.20o");
    job.context.stationCode = "bjfs";
    job.kinds.rinexObs = 1;
    // What one day leaves behind, the LISN site match included.
    job.obs.bySatellite[5].push_back(SatEpochRecord{});
    job.ephemerides.kepler[5][58849.0].push_back(KeplerEphemeris{});
    job.dcb.loaded = DcbTable::kP1p2Loaded;
    job.tec[5][58849.0] = TecRecord{};
    job.station.setFromGeodetic(39.6, 115.9, 88.0);
    job.bias.rxBiasTotal = -43.1;
    job.s4.lisnSiteMatch = 1;
    job.s4.source = kS4File;
    job.dataInterval_s = 30.0;
    job.dayStartMjd = 58849.0;
    job.phaseSign = -1.0;
    job.beginDay();
    EXPECT_TRUE(job.obs.bySatellite.empty() && job.ephemerides.kepler.empty() && job.tec.empty());
    EXPECT_EQ(job.dcb.loaded, 0);
    EXPECT_FALSE(job.station.known());
    EXPECT_EQ(job.bias.rxBiasTotal, 0.0);
    EXPECT_EQ(job.s4.lisnSiteMatch, 0);
    EXPECT_EQ(job.s4.source, kS4None);
    EXPECT_TRUE(job.dataInterval_s == -1.0 && job.dayStartMjd == 0.0 && job.phaseSign == 1.0);
    // The file's own facts stay for its days; a new file starts from its folder.
    EXPECT_EQ(job.context.stationCode, "bjfs");
    EXPECT_EQ(job.kinds.rinexObs, 1);
    job.beginFile("/other/abcd0010.20o");
    EXPECT_TRUE(job.context.stationCode.empty() && job.kinds.rinexObs == 0);
    EXPECT_EQ(job.context.dataDirectory, "/other/");
}

}  // namespace velarix
