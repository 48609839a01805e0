// The RINEX job on real days and on small fixtures: whole days run through, failures end
// the day with their messages and count as failed, the inputs are only ever read, and
// the edge cases of the job's steps.
#include "control/rinex_job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "control/pipelines.h"
#include "geodesy/geodetic.h"
#include "platform/text.h"
#include "rinex/satellite_id.h"
#include "test_support.h"

namespace velarix {

namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(VELARIX_TEST_DATA) + "/";
const std::string kExcerpt = kData + "obs_bjfs_excerpt.20o";       // BJFS 2020-01-01, two epochs, 9 GPS
const std::string kNavExcerpt = kData + "nav_brdc0010_excerpt.20n";  // ephemerides of 7 of them

// Every file of a folder (hidden ones included) with a digest of its content.
std::map<std::string, std::string> contentsOf(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string text = readWholeFile(entry.path().string());
        files[entry.path().filename().string()] =
            std::to_string(text.size()) + ":" + std::to_string(std::hash<std::string>{}(text));
    }
    return files;
}

// The products of a day: text products and plots.
bool isProduct(const std::string& name) {
    for (const char* extension : {".Cmn", ".Std", ".Bias", ".dat", ".png"}) {
        if (endsWith(name, extension)) return true;
    }
    return false;
}

// `files` without the products and the logs: the inputs, and anything left behind.
std::map<std::string, std::string> withoutOutputs(std::map<std::string, std::string> files) {
    std::erase_if(files, [](const auto& entry) {
        return isProduct(entry.first) || entry.first == "Log_file.txt" || entry.first == "Log_errors.txt";
    });
    return files;
}

std::string copyInto(const TempDir& dir, const std::string& from, const std::string& name) {
    fs::copy_file(from, dir.path() + name);
    return dir.path() + name;
}

std::string gzipInto(const TempDir& dir, const std::string& from, const std::string& name) {
    EXPECT_EQ(runCommand("gzip -c '" + from + "' > '" + dir.path() + name + "'").exitCode, 0);
    return dir.path() + name;
}

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// A request for the day of `input`, everything in its folder.
DayRequest requestFor(const std::string& input, DayStage stage = DayStage::kProducts) {
    DayRequest request;
    request.inputPath = input;
    request.observationFiles = {input};
    request.dataDirectory = request.targetDirectory = request.workDirectory = fs::path(input).parent_path().string() + "/";
    request.lastStage = stage;
    return request;
}

StationCatalogue shippedCatalogue() {
    StationCatalogue catalogue;
    EXPECT_EQ(readIgsStationFile(std::string(VELARIX_SOURCE_DIR) + "/data/IGS_stations.txt", catalogue),
              IgsReadResult::kRead);
    return catalogue;
}

// The excerpt with `satellites` of the nine satellites of each epoch.
std::string fewerSatellites(int satellites) {
    std::istringstream in(readWholeFile(kExcerpt));
    std::string text, line;
    while (std::getline(in, line) && (text += line + "\n", !contains(line, "END OF HEADER"))) {
    }
    while (std::getline(in, line)) {
        // Epoch line: time and flag in columns 1-29, the count in 30-32, then the list.
        text += line.substr(0, 29) + "  " + std::to_string(satellites) + line.substr(32, 3 * satellites) + "\n";
        for (int s = 0; s < 9; ++s) {
            std::string first, second;
            std::getline(in, first);
            std::getline(in, second);
            if (s < satellites) text += first + "\n" + second + "\n";
        }
    }
    return text;
}

ToolRun velarix(const std::string& arguments, const TempDir& home) {
    // A home and a temporary folder of their own: the run must write nothing there.
    return runCommand("HOME='" + home.path() + "' XDG_CONFIG_HOME='" + home.path() + "config' TMPDIR='" +
                      home.path() + "' " + VELARIX_BIN + " --settings '" + home.path() + "none.ini' --no-download " + arguments +
                      " </dev/null 2>&1");
}

// A main window that keeps the status lines.
struct QuietWindow : MainWindow {
    void setStatus(StatusLine line, const std::string& text) override { lines[line] = text; }
    std::string statusText(StatusLine line) const override {
        const auto found = lines.find(line);
        return found == lines.end() ? std::string() : found->second;
    }
    void showPaneText(const std::string&) override {}
    void messageBox(const std::string&, const std::string&) override {}
    void beep() override {}
    std::map<StatusLine, std::string> lines;
};

}  // namespace

TEST(RinexJob, Cat2WithoutP1RunsThroughWithTheP1C1Correction) {
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    TempDir dir;
    const std::string set = sharedDataDir() + "set3_cat2_2016_001/";
    for (const char* name : {"cat20010.16o", "cat20010.16n", "P1C11601.DCB.Z", "P1P21601_ALL.DCB.Z"})
        copyInto(dir, set + name, name);
    const StationCatalogue catalogue = shippedCatalogue();
    QuietWindow window;
    const DayEnvironment environment{&catalogue, RunOptions{}, "", {}, &window};
    DayJob job;
    RunLog log;
    ASSERT_EQ(RunRinexDay(requestFor(dir.path() + "cat20010.16o"), environment, job, log), RinexDayResult::kDone)
        << log.messages;
    // C1 for want of P1, brought to P1 by the P1-C1 biases of the month.
    EXPECT_EQ(job.obs.tecSelection.at(kGps).firstCodeName, "C1C");
    EXPECT_NE(job.dcb.loaded & DcbTable::kP1c1Loaded, 0);
    EXPECT_NE(job.dcb.loaded & DcbTable::kP1p2Loaded, 0);
    EXPECT_TRUE(contains(log.messages, "\r\nNavigation file is.." + dir.path() + "cat20010.16n\r\n"));
    EXPECT_TRUE(contains(log.messages, "\r\nReading DCB file(s).... done!"));
    EXPECT_TRUE(contains(log.messages, "\r\nStation Lat 33.312, Lon -118.334, Alt 477.960"));
    EXPECT_TRUE(contains(log.messages, "\r\nEnd of common process...........\r\n"));
    EXPECT_TRUE(log.errors.empty()) << log.errors;
    // Listed, and the header's position replaced the list's.
    EXPECT_TRUE(job.context.stationKnown);
    EXPECT_EQ(job.dayStartMjd, 57388.0);
    EXPECT_EQ(window.lines[StatusLine::Input], "Input: " + dir.path() + "cat20010.16o");
}

TEST(RinexJob, CompactRinexInGzipIsExpandedAndTheBatchGoesOnAfterTheDcbMessage) {
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    TempDir dir, home;
    const std::string set = sharedDataDir() + "set6_bele_dgar_2024_010/";
    for (const char* name : {"bele0100.24d.gz", "brdc0100.24n.gz"}) copyInto(dir, set + name, name);
    const std::string broken = dir.write("bele0110.24d.gz", "not gzip\n");
    const auto before = contentsOf(dir.path());
    const ToolRun run = velarix("--scope dir " + dir.path() + "bele0100.24d.gz auto", home);
    EXPECT_EQ(run.exitCode, 3) << run.output;
    const std::string log = readWholeFile(dir.path() + "Log_file.txt");
    // Expanded to the observation name (type letter o), read past the navigation file to
    // the month's DCB files, which CODE did not publish for 2024.
    EXPECT_TRUE(contains(log, dir.path() + "bele0100.24d.gz\r\nDecompressing Compact/Hatanaka rinex.... Successfull."))
        << log;
    EXPECT_TRUE(contains(log, "\r\nNavigation file is.." + dir.path() + "brdc0100.24n.gz\r\n"));
    EXPECT_TRUE(contains(log, "\r\nError! DCB file(s) not found @main->in rnx-RDcmd\r\n"
                              "\r\nPlease download the P1P2,P1C1 DCB files from internet & place in data folder to "
                              "run again!\r\n\r\nPlease read the Velarix Readme.pdf document for webpage links!\r\n"));
    EXPECT_TRUE(contains(log, "\r\nHatanaka decompression failed.... " + broken + "\r\nProgram aborted with error!"));
    EXPECT_TRUE(contains(run.output, "---->> Rinex files completed 2 of 2"));
    EXPECT_EQ(readWholeFile(dir.path() + "Log_errors.txt"),
              dir.path() + "bele0100.24d.gz .. day not processed (err = -5): no DCB file for the month\r\n" + broken +
                  " .. Hatanaka decompress failed\r\n" + broken +
                  " .. day not processed (err = -2): a Compact RINEX file could not be decoded\r\n");
    EXPECT_EQ(withoutOutputs(contentsOf(dir.path())), before);
    EXPECT_TRUE(fs::is_empty(home.path())) << "written outside the data folder";
}

TEST(RinexJob, ABatchWithACorruptDayProcessesTheOthersAndExitsThree) {
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    TempDir dir, target, home;
    const std::string set = sharedDataDir() + "set1_bjfs_2020_001/";
    // Two days of BJFS (the second a copy of the first under the next date) and a third
    // that is no RINEX file, each with its navigation file; the month's DCB files.
    for (const char* day : {"001", "002", "003"}) {
        if (std::string(day) != "003") copyInto(dir, set + "bjfs0010.20o", std::string("bjfs") + day + "0.20o");
        copyInto(dir, set + "brdc0010.20n", std::string("brdc") + day + "0.20n");
    }
    const std::string corrupt = dir.write("bjfs0030.20o", std::string(3000, '\x7f'));
    for (const char* name : {"P1C12001.DCB.Z", "P1P22001_ALL.DCB.Z"}) copyInto(dir, set + name, name);
    const auto before = contentsOf(dir.path());

    const ToolRun run = velarix("--scope dir --target '" + target.path() + "' " + dir.path() + "bjfs0010.20o auto", home);
    EXPECT_EQ(run.exitCode, 3) << run.output;
    EXPECT_TRUE(contains(run.output, "---->> Rinex files completed 3 of 3")) << run.output;
    const std::string log = readWholeFile(dir.path() + "Log_file.txt");
    EXPECT_EQ(count(log, "\r\nEnd of common process...........\r\n"), 2) << log;
    const std::size_t corruptRead = log.find("\r\nReading Rinex Obs. file " + corrupt);
    ASSERT_NE(corruptRead, std::string::npos) << log;
    EXPECT_TRUE(contains(log.substr(corruptRead), "\r\nError! incomplete header... end of file..")) << log;
    EXPECT_EQ(readWholeFile(dir.path() + "Log_errors.txt"),
              corrupt + " .. Obs. file read ERRORS\r\n" + corrupt +
                  " .. day not processed (err = -6): the observation file could not be read\r\n");
    EXPECT_EQ(withoutOutputs(contentsOf(dir.path())), before);  // inputs byte for byte, nothing left behind
    const auto products = contentsOf(target.path());
    EXPECT_TRUE(withoutOutputs(products).empty()) << "an expanded copy was left behind";
    EXPECT_TRUE(products.count("bjfs001-2020-01-01.Cmn") == 1 && products.count("bjfs002-2020-01-02.Cmn") == 1 &&
                products.count("bjfs003-2020-01-03.Cmn") == 0);
    EXPECT_TRUE(fs::is_empty(home.path())) << "written outside the data and target folders";
}

TEST(RinexJob, InputsAreOnlyReadAndAFailedSessionOrArchiveHasAStandIn) {
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    TempDir dir;
    const std::string set = sharedDataDir() + "set1_bjfs_2020_001/";
    // The day in gzip as its first session, a second session that does not expand, and a
    // plain file under the expanded name that must survive; a navigation archive that
    // does not expand beside one that does.
    const std::string input = gzipInto(dir, set + "bjfs0010.20o", "bjfs001a.20o.gz");
    const std::string broken = dir.write("bjfs001b.20o.gz", "not gzip\n");
    dir.write("bjfs001a.20o", "an older copy of the user's\n");
    dir.write("brdc0010.20n.Z", "not compressed\n");
    gzipInto(dir, set + "brdc0010.20n", "brdc0010.20n.gz");
    for (const char* name : {"P1C12001.DCB.Z", "P1P22001_ALL.DCB.Z"}) copyInto(dir, set + name, name);
    const auto before = contentsOf(dir.path());

    QuietWindow window;
    Session session(window);
    session.currentInputPath = input;
    processRinex(session, 0, 1);
    EXPECT_EQ(session.failedJobs, 0) << session.log.messages;
    const std::string& log = session.log.messages;
    EXPECT_TRUE(contains(log, "\r\nDecompress failed.... program exited!\r\n" + broken + "\r\n"));
    EXPECT_EQ(count(log, "\r\nDecompress...error! "), 1);
    EXPECT_TRUE(contains(log, "\r\nNavigation file is.." + dir.path() + "brdc0010.20n.gz\r\n")) << log;
    EXPECT_TRUE(contains(log, "\r\nEnd of common process...........\r\n"));
    // Read as it is decoded, under its own name.
    EXPECT_TRUE(contains(log, "\r\nReading Rinex Obs. file " + input + "\r\n")) << log;
    EXPECT_EQ(session.log.errors,
              broken + " .. Decompress failed\r\n" + dir.path() + "brdc0010.20n.Z .. Decompress failed\r\n");
    EXPECT_EQ(withoutOutputs(contentsOf(dir.path())), before);
    EXPECT_TRUE(contentsOf(dir.path()).count("bjfs001-2020-01-01.Cmn"));

    // Alone, the session that does not expand ends its day, counted and named.
    TempDir single;
    const std::string lone = single.write("bjfs0010.20o.gz", "not gzip\n");
    session.currentInputPath = lone;
    session.log = RunLog();
    processRinex(session, 0, 1);
    EXPECT_EQ(session.failedJobs, 1);
    EXPECT_TRUE(session.log.messages.ends_with("\r\nDecompress failed.... program exited!\r\n" + lone +
                                               "\r\nInput file not in gzip format, check type or decompress "
                                               "manually!\n"))
        << session.log.messages;
    EXPECT_TRUE(contains(session.log.errors, lone + " .. day not processed (err = -1): an observation file could not "
                                                    "be expanded\r\n"));
    // A path that is gone: the job ends at once.
    session.currentInputPath = single.path() + "gone0010.20o";
    processRinex(session, 0, 0);
    EXPECT_EQ(session.failedJobs, 2);
    EXPECT_TRUE(session.log.messages.ends_with("\r\nError! No file(s) found.. exited. Choose file again!."));
}

TEST(RinexJob, ANavigationArchiveThatFailsTwiceEndsTheDay) {
    TempDir dir;
    const std::string input = copyInto(dir, kExcerpt, "bjfs0010.20o");
    dir.write("brdc0010.20n.Z", "not compressed\n");
    DayJob job;
    RunLog log;
    EXPECT_EQ(RunRinexDay(requestFor(input), DayEnvironment{}, job, log), RinexDayResult::kNoNavigation);
    EXPECT_EQ(count(log.messages, "\r\nDecompressing... " + dir.path() + "brdc0010.20n.Z\r\nDecompress...error! "), 2)
        << log.messages;
    EXPECT_FALSE(contains(log.messages, "Accessing Internet"));  // a file was there
    EXPECT_TRUE(fs::exists(dir.path() + "brdc0010.20n.Z"));       // neither removed nor renamed
}

TEST(RinexJob, MissingFilesAreAskedOfTheDownloadAndSearchedForAgain) {
    TempDir dir;
    const std::string input = copyInto(dir, kExcerpt, "bjfs0010.20o");
    // Without a download: one line says so, and the day ends with the navigation messages.
    DayJob job;
    RunLog log;
    EXPECT_EQ(RunRinexDay(requestFor(input), DayEnvironment{}, job, log), RinexDayResult::kNoNavigation);
    EXPECT_TRUE(contains(log.messages, "\r\n Navigation file not found..\r\n----Accessing Internet to download "
                                       "file!!---\r\n\r\nInfo! downloading is off in this run: place "
                                       "the file(s) in " + dir.path() + "\r\n\r\nError! Navigation file not "
                                       "found....\r\n"));

    // A download that brings the files: the second search finds them.
    std::vector<DownloadRequest> asked;
    DayEnvironment environment;
    environment.download = [&](const DownloadRequest& request, RunLog& downloadLog) {
        asked.push_back(request);
        downloadLog.append("\r\n(fetched)");
        if (request.navigation) {
            fs::copy_file(kNavExcerpt, request.dataDirectory + "brdc0010.20n");
        } else {
            fs::copy_file(kData + "gnss/P1P22001.DCB", request.dataDirectory + "P1P22001.DCB");
        }
    };
    RunLog fetched;
    EXPECT_NE(RunRinexDay(requestFor(input), environment, job, fetched), RinexDayResult::kNoNavigation);
    ASSERT_EQ(asked.size(), 2u) << fetched.messages;
    EXPECT_TRUE(asked[0].navigation && !asked[1].navigation);
    EXPECT_EQ(asked[0].dayMjd, 58849.0);
    EXPECT_EQ(asked[1].dataDirectory, dir.path());
    EXPECT_TRUE(contains(fetched.messages, "\r\nNavigation file is.." + dir.path() + "brdc0010.20n\r\n"));
    EXPECT_TRUE(contains(fetched.messages, "\r\nReading DCB file(s).... done!"));
    EXPECT_EQ(job.dcb.loaded, DcbTable::kP1p2Loaded);
}

TEST(RinexJob, MissingDcbFilesEndTheDayExceptInTheYearsCodePublishedNone) {
    const std::string warning =
        "\r\n Warning!\r\n P1P2 DCB file(s) are not calculated by CODE for years 1994-1997.\r\n Therefore, P1P2 "
        "values will be calculated by the program, which may be in-accurate!\r\n Please check take caution and "
        "verify the TEC values or plots for accuracy!\r\n";
    for (const char* yy : {"96", "10"}) {
        TempDir dir;
        const std::string input = copyInto(dir, kExcerpt, std::string("bjfs0010.") + yy + "o");
        copyInto(dir, kNavExcerpt, std::string("brdc0010.") + yy + "n");
        DayJob job;
        RunLog log;
        const RinexDayResult result = RunRinexDay(requestFor(input), DayEnvironment{}, job, log);
        EXPECT_TRUE(contains(log.messages, "\r\nError! DCB file(s) not found @main->in rnx-RDcmd\r\n")) << yy;
        if (std::string(yy) == "96") {
            EXPECT_NE(result, RinexDayResult::kNoDcb);
            EXPECT_TRUE(contains(log.messages, warning + "\r\nReading nav file ")) << log.messages;
        } else {
            EXPECT_EQ(result, RinexDayResult::kNoDcb);
            EXPECT_FALSE(contains(log.messages, "Warning!"));
        }
    }
}

TEST(RinexJob, FewerThanFourSatellitesEndTheDayBeforeAnyProduct) {
    TempDir dir;
    const std::string input = dir.write("bjfs0010.20o", fewerSatellites(3));
    copyInto(dir, kNavExcerpt, "brdc0010.20n");
    copyInto(dir, kData + "gnss/P1P22001.DCB", "P1P22001.DCB");
    DayJob job;
    RunLog log;
    EXPECT_EQ(RunRinexDay(requestFor(input), DayEnvironment{}, job, log), RinexDayResult::kTooFewSatellites)
        << log.messages;
    EXPECT_EQ(job.obs.bySatellite.size(), 3u);
    EXPECT_TRUE(log.messages.ends_with("Info3! insufficient no. of raw-data PRNs to analyze\r\n"
                                       "\r\nInfo! errors in Common Block process... \r\n"))
        << log.messages;
    EXPECT_TRUE(job.tec.empty());
}

TEST(RinexJob, ADayTooShortForItsDataIntervalEndsWithTheTecStagesNumberInTheLog) {
    // Two epochs: no satellite has the 50 epochs the interval is detected from.
    TempDir dir;
    const std::string input = copyInto(dir, kExcerpt, "bjfs0010.20o");
    copyInto(dir, kNavExcerpt, "brdc0010.20n");
    copyInto(dir, kData + "gnss/P1P22001.DCB", "P1P22001.DCB");
    DayJob job;
    RunLog log;
    EXPECT_EQ(RunRinexDay(requestFor(input), DayEnvironment{}, job, log), RinexDayResult::kNoTec) << log.messages;
    EXPECT_TRUE(log.messages.ends_with("\r\nError! @raw-analyse1 - interval invalid\r\n"
                                       "\r\nSome errors in observation processing... err = -1 \r\n"
                                       "\r\nInfo! errors in Common Block process... \r\n"))
        << log.messages;
    EXPECT_TRUE(job.tec.empty());
}

TEST(RinexJob, TheStationListPlacesTheStationOnTheEarthAndTheSolutionStandsInForIt) {
    // BJFS's header position removed: the list's position, turned Earth-fixed.
    TempDir dir;
    std::string text = readWholeFile(kExcerpt);
    text.replace(text.find(" -2148744.6531  4426641.5827  4044656.5218"), 42,
                 "        0.0000        0.0000        0.0000");
    const std::string input = dir.write("bjfs0010.20o", text);
    copyInto(dir, kNavExcerpt, "brdc0010.20n");
    copyInto(dir, kData + "gnss/P1P22001.DCB", "P1P22001.DCB");
    const StationCatalogue catalogue = shippedCatalogue();
    DayEnvironment environment;
    environment.stations = &catalogue;
    DayJob job;
    RunLog log;
    (void)RunRinexDay(requestFor(input), environment, job, log);
    EXPECT_FALSE(contains(log.messages, "Station coordinates not available")) << log.messages;
    const EcefPosition listed = geodeticToEcef(39.60860, 115.89249, 88.2);
    EXPECT_NEAR(job.station.x_m, listed.x_m, 1e-6);
    EXPECT_NEAR(job.station.y_m, listed.y_m, 1e-6);
    EXPECT_NEAR(job.station.z_m, listed.z_m, 1e-6);
    EXPECT_NEAR(job.context.longitudeDeg, 115.89249, 1e-9);

    // CAT2 (west of Greenwich) neither listed nor in its header: the solution, reported
    // with a longitude from 0 to 360.
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    TempDir cat2;
    const std::string set = sharedDataDir() + "set3_cat2_2016_001/";
    std::string day = readWholeFile(set + "cat20010.16o");
    const std::size_t at = day.find("APPROX POSITION XYZ");
    day.replace(at - 60, 42, "        0.0000        0.0000        0.0000");
    const std::string unplaced = cat2.write("cat20010.16o", day);
    copyInto(cat2, set + "cat20010.16n", "cat20010.16n");
    copyInto(cat2, set + "P1P21601_ALL.DCB.Z", "P1P21601_ALL.DCB.Z");
    DayJob solved;
    RunLog solvedLog;
    EXPECT_EQ(RunRinexDay(requestFor(unplaced, DayStage::kTec), DayEnvironment{}, solved, solvedLog),
              RinexDayResult::kDone);
    EXPECT_TRUE(contains(solvedLog.messages, "\r\nError! Station coordinates not available!.. computing\r\n"));
    EXPECT_TRUE(contains(solvedLog.messages, "\r\nINFO! station Lat,Lon & Alt are 33.31")) << solvedLog.messages;
    EXPECT_GT(solved.context.longitudeDeg, 241.0);
    EXPECT_LT(solved.context.longitudeDeg, 242.0);
}

TEST(RinexJob, CompactRinexIsDecodedUnderTheObservationName) {
    // AOPR 2017-001 in Compact RINEX (type letter d): read as "...aopr0010.17o". The
    // navigation file is of 2020, so the day ends there, after the read.
    TempDir dir;
    const std::string input =
        copyInto(dir, std::string(VELARIX_SOURCE_DIR) + "/tests/fuzz/decompress_crx/aopr0010.17d", "aopr0010.17d");
    copyInto(dir, kNavExcerpt, "brdc0010.17n");
    copyInto(dir, kData + "gnss/P1P22001.DCB", "P1P21701.DCB");
    DayJob job;
    RunLog log;
    EXPECT_EQ(RunRinexDay(requestFor(input), DayEnvironment{}, job, log), RinexDayResult::kNoNavigation);
    EXPECT_TRUE(contains(log.messages, "\r\n" + input + "\r\nDecompressing Compact/Hatanaka rinex.... Successfull."))
        << log.messages;
    EXPECT_TRUE(contains(log.messages, "\r\nReading Rinex Obs. file " + input + "\r\n")) << log.messages;
    EXPECT_EQ(job.obs.bySatellite.empty(), false);
    EXPECT_EQ(contentsOf(dir.path()).size(), 3u);  // no expanded copy
}

TEST(RinexJob, ADayAfterCodesMonthlyFilesTakesItsBiasesFromABiasSinexFileBesideIt) {
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    TempDir dir;
    const std::string set = sharedDataDir() + "set6_bele_dgar_2024_010/";
    const std::string cas = "CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz";
    for (const std::string& name : {std::string("BELE00BRA_R_20240100000_01D_30S_MO.crx.gz"),
                                    std::string("BRDC00IGS_R_20240100000_01D_MN.rnx.gz"), cas,
                                    std::string("GFZ0OPSRAP_20240100000_01D_01D_DCB.BIA.gz")}) {
        copyInto(dir, set + name, name);
    }
    const StationCatalogue catalogue = shippedCatalogue();
    RunOptions options;
    options.calibration = Calibration::kDcb;  // BELE's own DSB from the same file
    const DayEnvironment environment{&catalogue, options, "", {}, nullptr};
    DayJob job;
    RunLog log;
    ASSERT_EQ(RunRinexDay(requestFor(dir.path() + "BELE00BRA_R_20240100000_01D_30S_MO.crx.gz", DayStage::kCalibrated),
                          environment, job, log),
              RinexDayResult::kDone)
        << log.messages;
    // The CAS file (first by name of the two daily files), with the satellites' and BELE's values.
    EXPECT_TRUE(contains(log.messages, "\r\nDCB file is.." + dir.path() + cas + "\r\n")) << log.messages;
    EXPECT_TRUE(contains(log.messages, "\r\nReading DCB file(s).... done!\r\nInfo! Bias-SINEX file: P1-P2 of "));
    EXPECT_EQ(job.dcb.loaded, DcbTable::kP1p2Loaded | DcbTable::kP1c1Loaded);
    EXPECT_DOUBLE_EQ(job.dcb.p1p2[1], -7.187);
    EXPECT_DOUBLE_EQ(job.dcb.receiverP1p2.at("BELE"), 0.019);
    EXPECT_TRUE(contains(log.messages, "Info! receiver bias from the published DCB of the station: 0.019 ns"))
        << log.messages;
    // A RINEX 3.05 file reads without a word about its version; the biases are not zero.
    EXPECT_FALSE(contains(log.messages, "unsupported RINEX version")) << log.messages;
    EXPECT_FALSE(contains(log.messages, "every satellite bias is zero")) << log.messages;
    EXPECT_TRUE(log.errors.empty()) << log.errors;
    EXPECT_EQ(job.dayStartMjd, 60319.0);  // 2024-01-10
}

}  // namespace velarix

namespace velarix {

namespace {

// Records per satellite, and the first and last epoch of each.
std::string tableSummary(const ObsTable& obs) {
    std::string summary;
    for (const auto& [satNo, records] : obs.bySatellite) {
        summary += std::to_string(satNo) + ":" + std::to_string(records.size()) + ":" +
                   std::to_string(records.front().epochMjd) + "-" + std::to_string(records.back().epochMjd) + " ";
    }
    return summary;
}

// The day of `input` up to its TEC: the table and the log's lines from the navigation file on.
struct TecDay {
    RinexDayResult result;
    std::string table;
    std::size_t tecRecords;
    std::string messages;
};
TecDay tecDay(const std::string& input, const std::vector<std::string>& files) {
    DayRequest request = requestFor(input, DayStage::kTec);
    request.observationFiles = files;
    DayJob job;
    RunLog log;
    TecDay day{RunRinexDay(request, DayEnvironment{}, job, log), tableSummary(job.obs), job.tec.size(), {}};
    day.messages = log.messages.substr(log.messages.find("\r\nNavigation file is"));
    return day;
}

}  // namespace

TEST(RinexJob, ACompressedDayIsReadAsItIsDecodedWithThePlainDaysTableAndNoCopy) {
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    TempDir dir;
    const std::string set = sharedDataDir() + "set1_bjfs_2020_001/";
    const std::string plain = copyInto(dir, set + "bjfs0010.20o", "bjfs0010.20o");
    copyInto(dir, set + "brdc0010.20n", "brdc0010.20n");
    copyInto(dir, set + "P1P22001_ALL.DCB.Z", "P1P22001_ALL.DCB.Z");
    const TecDay reference = tecDay(plain, {plain});
    ASSERT_EQ(reference.result, RinexDayResult::kDone) << reference.messages;
    ASSERT_GT(reference.tecRecords, 20u);  // satellites with TEC

    TempDir packed;
    const std::string gz = gzipInto(packed, plain, "bjfs0010.20o.gz");
    for (const char* name : {"brdc0010.20n", "P1P22001_ALL.DCB.Z"}) copyInto(packed, set + name, name);
    const auto before = contentsOf(packed.path());
    const TecDay streamed = tecDay(gz, {gz});
    EXPECT_EQ(streamed.result, RinexDayResult::kDone) << streamed.messages;
    EXPECT_EQ(streamed.table, reference.table);
    EXPECT_EQ(streamed.tecRecords, reference.tecRecords);
    // The reader's messages in their place after the navigation and DCB files', under the
    // archive's name.
    std::string expected = reference.messages;
    expected.replace(expected.find(plain), plain.size(), gz);
    for (std::size_t at; (at = expected.find(dir.path())) != std::string::npos;) {
        expected.replace(at, dir.path().size(), packed.path());
    }
    EXPECT_EQ(streamed.messages, expected);
    EXPECT_EQ(contentsOf(packed.path()), before);  // nothing made or left in the work folder

    // Cut in the middle: the day is refused with the decoder's message, nothing is left.
    std::string bytes = readWholeFile(gz);
    bytes.resize(bytes.size() / 2);
    const std::string cut = packed.write("bjfs0010.20o.gz", bytes);
    const auto cutBefore = contentsOf(packed.path());
    DayJob job;
    RunLog log;
    EXPECT_EQ(RunRinexDay(requestFor(cut), DayEnvironment{}, job, log), RinexDayResult::kExpandFailed);
    EXPECT_TRUE(log.messages.ends_with("\r\nDecompress failed.... program exited!\r\n" + cut +
                                       "\r\nTruncated input file"))
        << log.messages;
    EXPECT_EQ(log.errors, cut + " .. Decompress failed\r\n");
    EXPECT_FALSE(contains(log.messages, "Reading Rinex Obs. file"));
    EXPECT_EQ(contentsOf(packed.path()), cutBefore);

    // A session cut after it gave records is left out whole: the table is the other session's.
    const std::string first = gzipInto(packed, plain, "bjfs001a.20o.gz");
    const std::string second = packed.write("bjfs001b.20o.gz", bytes);
    const TecDay sessions = tecDay(first, {first, second});
    EXPECT_EQ(sessions.result, RinexDayResult::kDone) << sessions.messages;
    EXPECT_EQ(sessions.table, reference.table);
    EXPECT_EQ(count(sessions.messages, "Reading Rinex Obs. file"), 1) << sessions.messages;
}

}  // namespace velarix
