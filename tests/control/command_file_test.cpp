// Command files: the keys and their checks, the receiver bias of the station's day, and
// whole runs on the example day, in-process and as `velarix FILE.txt`.
#include "control/command_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

#include "control/command_file_job.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "products/cmn_file.h"
#include "stations/igs_stations.h"
#include "test_support.h"

namespace velarix {

namespace {

namespace fs = std::filesystem;

const std::string kExamples = std::string(VELARIX_SOURCE_DIR) + "/examples/";

struct Parsed {
    CommandFile file;
    RunLog log;
    bool read = false;
    bool valid = false;
};

Parsed parse(const TempDir& dir, const std::string& text) {
    Parsed p;
    p.read = ReadCommandFile(dir.write("run.txt", text), p.file, p.log);
    p.valid = p.read && ValidateCommandFile(p.file, p.log);
    return p;
}

// A complete command file for the example day; products into `output`.
std::string exampleCommands(const std::string& data, const std::string& output, const char* rxBias = "No") {
    return "Data_Path " + data + "\nOutPut_path " + output +
           "\nRead_All_inDir No\nyear 2020\nDay_of_Year 1\nNav_filename brdc0010.20n end\n"
           "input_Filenames bjfs0010.20o end\nUse_Sat_DCB Yes\nUse_Rx_bias " +
           rxBias + "\n";
}

// The data lines of a ".Cmn" file by MJD text and PRN: slant TEC, vertical TEC, S4.
std::map<std::pair<std::string, int>, std::array<double, 3>> cmnLines(const std::string& path) {
    std::map<std::pair<std::string, int>, std::array<double, 3>> lines;
    std::istringstream in(readWholeFile(path));
    std::string line;
    for (int skip = 0; skip < kCmnHeaderLines; ++skip) std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
        if (f.size() < 10) continue;
        lines[{f[0], std::stoi(f[2])}] = {std::stod(f[7]), std::stod(f[8]), std::stod(f[9])};
    }
    return lines;
}

std::map<std::string, std::string> contentsOf(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) files[entry.path().filename()] = readWholeFile(entry.path());
    return files;
}

StationCatalogue shippedCatalogue() {
    StationCatalogue catalogue;
    EXPECT_EQ(readIgsStationFile(std::string(VELARIX_SOURCE_DIR) + "/data/IGS_stations.txt", catalogue),
              IgsReadResult::kRead);
    return catalogue;
}

ToolRun velarix(const std::string& commandFile) {
    return runCommand(std::string(VELARIX_BIN) + " --settings /nonexistent/none.ini '" + commandFile +
                      "' </dev/null 2>&1");
}

}  // namespace

TEST(CommandFile, KeysInAnyCaseAndOrderFoldersFromWindowsLinesAndRelativeToTheFile) {
    TempDir dir;
    fs::create_directory(dir.path() + "data");
    fs::create_directory(dir.path() + "out");
    // CR LF line ends, lower-case keys, a folder on the line after its key, a relative
    // folder, other words between the keys, a two-digit year.
    const std::string text =
        "# BJFS\r\nuse_rx_bias yes\r\nDATA_PATH data\r\noutput_path\r\n" + dir.path() +
        "out   \r\nnotes are skipped\r\nREAD_ALL_INDIR no\r\nYEAR 20\r\nday_of_year 366\r\n"
        "nav_filename brdc0010.20n brdc0010.20g END\r\nINPUT_FILENAMES bjfs0010.20o end\r\nuse_sat_dcb NO\r\n";
    const Parsed p = parse(dir, text);
    ASSERT_TRUE(p.valid) << p.log.messages;
    EXPECT_EQ(p.file.dataPath, dir.path() + "data/");
    EXPECT_EQ(p.file.outputPath, dir.path() + "out/");
    EXPECT_FALSE(p.file.readAllInDir);
    EXPECT_EQ(p.file.year, 2020);
    EXPECT_EQ(p.file.dayOfYear, 366);
    EXPECT_EQ(p.file.navigationFiles, (std::vector<std::string>{"brdc0010.20n", "brdc0010.20g"}));
    EXPECT_EQ(p.file.inputFiles, std::vector<std::string>{"bjfs0010.20o"});
    EXPECT_FALSE(p.file.useSatDcb);
    EXPECT_TRUE(p.file.useRxBias);
    EXPECT_EQ(p.log.messages, "");

    // A word that is neither Yes nor No keeps the default, with a warning; a list that
    // runs into the next key ends there.
    const Parsed q = parse(dir, "Use_Sat_DCB maybe\nUse_Rx_bias\nRead_All_inDir Yes\ninput_Filenames a.20o b.20o "
                                "Nav_filename n.20n end");
    EXPECT_TRUE(q.file.useSatDcb);
    EXPECT_FALSE(q.file.useRxBias);
    EXPECT_TRUE(q.file.readAllInDir);
    EXPECT_EQ(q.file.inputFiles, (std::vector<std::string>{"a.20o", "b.20o"}));
    EXPECT_EQ(q.file.navigationFiles, std::vector<std::string>{"n.20n"});
    EXPECT_TRUE(contains(q.log.messages, "\r\nWarning! Use_Sat_DCB takes Yes or No, not \"maybe\": kept Yes @line# 1"));
    EXPECT_TRUE(contains(q.log.messages, "\r\nWarning! Use_Rx_bias takes Yes or No, not \"Read_All_inDir\": kept No"));
    EXPECT_TRUE(contains(q.log.messages, "\r\nWarning! the list of input_Filenames is not closed by the word end"));
}

TEST(CommandFile, MissingKeysAreListedInTheirOrder) {
    TempDir dir;
    const std::string complete = exampleCommands(dir.path(), dir.path());
    const Parsed full = parse(dir, complete);
    EXPECT_TRUE(full.valid) << full.log.messages;

    // Only Use_Rx_bias missing: one line.
    Parsed p = parse(dir, complete.substr(0, complete.find("Use_Rx_bias")));
    EXPECT_FALSE(p.valid);
    EXPECT_EQ(p.log.messages,
              "\r\nErrors in input text file, please correct it..\r\nInvalid file - no input: Use_Rx_bias ?");

    // A Data_Path that is no folder clears its key: both lines. A day that is not in its
    // year, an empty list and a year that is no number are missing keys too.
    std::string text = complete;
    text.replace(text.find(dir.path()), dir.path().size(), dir.path() + "missing");
    text.replace(text.find("Day_of_Year 1"), 13, "Day_of_Year 366");
    text.replace(text.find("year 2020"), 9, "year 2019");
    text.replace(text.find("Nav_filename brdc0010.20n end"), 29, "Nav_filename end");
    p = parse(dir, text);
    EXPECT_FALSE(p.valid);
    EXPECT_TRUE(contains(p.log.messages, "\r\nInvalid Data Path - please enter valid/create directory at Data_Path in "
                                         "\"input\" file: " + dir.path() + "missing"));
    EXPECT_TRUE(contains(p.log.messages, "\r\nError! Day_of_Year 366 is not a day of the year (1-365) in "));
    EXPECT_TRUE(endsWith(p.log.messages, "\r\nErrors in input text file, please correct it..\r\nInvalid file - no "
                                         "Data_Path\r\nInvalid file - no Doy: Day of Year given\r\nInvalid file - no "
                                         "input Navigation file given"))
        << p.log.messages;

    // Nothing at all: every line, in the order of the keys' bits.
    p = parse(dir, "year twenty\n");
    EXPECT_EQ(p.log.messages,
              "\r\nError! year takes a whole number, not \"twenty\" @line# 1 in " + dir.path() + "run.txt" +
                  "\r\nErrors in input text file, please correct it..\r\nInvalid file - no Data_Path\r\nInvalid file - "
                  "no OutPut_Path\r\nInvalid file - not mentioned whether all files or not\r\nInvalid file - no year "
                  "given\r\nInvalid file - no Doy: Day of Year given\r\nInvalid file - no input Navigation file "
                  "given\r\nInvalid file - no input files given\r\nInvalid file - no input: Use_Sat_DCB ?\r\nInvalid "
                  "file - no input: Use_Rx_bias ?");
    CommandFile none;
    RunLog log;
    EXPECT_FALSE(ReadCommandFile(dir.path() + "absent.txt", none, log));
}

TEST(CommandFile, TheReceiverBiasComesOnlyFromTheStationsFileOfTheDay) {
    TempDir data;
    const std::string bias = "Summary\r\n\r\nRxBias (TEC units) stage1= -42.0 stage2= -1.1 Total= -43.1\r\nAverages";
    // Another station's day and the station's next day: neither is used.
    data.write("abcd001-2020-01-01.Bias", bias);
    data.write("bjfs002-2020-01-02.Bias", bias);
    RunLog log;
    EXPECT_FALSE(ReceiverBiasOfDay(data.path(), "bjfs", 2020, 1, log));
    EXPECT_TRUE(contains(log.messages, "\r\nNo Bias files found.. Please keep one file in the data folder! and run "
                                       "again.\r\n\r\nInfo! no receiver bias of bjfs for the day "
                                       "(bjfs001-2020-01-01.Bias in " + data.path() +
                                       "): the receiver bias is estimated from the data\r\n"))
        << log.messages;
    data.write("BJFS001-2020-01-01.BIAS", "no total here");
    EXPECT_FALSE(ReceiverBiasOfDay(data.path(), "bjfs", 2020, 1, log));
    EXPECT_TRUE(contains(log.messages, "\r\nError! no receiver bias (\"Total=\") could be read from "));
    fs::remove(data.path() + "BJFS001-2020-01-01.BIAS");
    data.write("BJFS001-2020-01-01.Bias", bias);
    EXPECT_EQ(ReceiverBiasOfDay(data.path(), "bjfs", 2020, 1, log), -43.1);
}

TEST(CommandFile, ReadAllTakesTheStationsFilesOfTheDayAndNamesTheProductsByTheDay) {
    TempDir data;
    for (const char* name : {"bjfs001a.20o", "bjfs001b.20o", "bjfs002a.20o", "abcd001a.20o"}) data.write(name, "x\n");
    CommandFile file;
    file.dataPath = data.path();
    file.outputPath = "/out/";
    file.year = 2020;
    file.dayOfYear = 1;
    file.inputFiles = {"bjfs001a.20o"};
    EXPECT_EQ(CommandObservationFiles(file), std::vector<std::string>{data.path() + "bjfs001a.20o"});
    EXPECT_EQ(CommandProductBase(file, CommandObservationFiles(file), "bjfs"), "/out/bjfs001a");
    file.readAllInDir = true;
    const std::vector<std::string> all = CommandObservationFiles(file);
    EXPECT_EQ(all, (std::vector<std::string>{data.path() + "bjfs001a.20o", data.path() + "bjfs001b.20o"}));
    EXPECT_EQ(CommandProductBase(file, all, "bjfs"), "/out/bjfs0010");
    file.inputFiles = {"/elsewhere/x.20o"};
    file.readAllInDir = false;
    EXPECT_EQ(CommandObservationFiles(file), std::vector<std::string>{"/elsewhere/x.20o"});
}

TEST(CommandFile, TheExampleDayAgreesWithTheRinexJobWithinTheFactorOfTheReceiverPath) {
    const auto examples = contentsOf(kExamples);
    TempDir commands, out, rinexOut;
    const StationCatalogue catalogue = shippedCatalogue();
    const DayEnvironment environment{&catalogue, RunOptions{}, "", {}, nullptr};

    Parsed p = parse(commands, exampleCommands(kExamples, out.path()));
    ASSERT_TRUE(p.valid) << p.log.messages;
    DayJob job;
    RunLog log;
    std::vector<std::string> written;
    ASSERT_EQ(RunCommandFile(p.file, environment, job, log, &written), RinexDayResult::kDone) << log.messages;
    const std::string base = out.path() + "bjfs0010";
    EXPECT_EQ(written, (std::vector<std::string>{out.path() + "bjfs001-2020-01-01_page0.png",
                                                 out.path() + "bjfs001-2020-01-01.Std", base + ".Bias", base + ".cmn",
                                                 base + "_cmn.dat"}));
    EXPECT_TRUE(contains(log.messages, "\r\nFile.... bjfs0010.20o"));
    EXPECT_TRUE(contains(log.messages, "\r\nObs. file read completed.... \r\n\r\nReading Nav file(s).. "));
    EXPECT_TRUE(contains(log.messages, "\r\nDCB applied..\r\n"));
    EXPECT_TRUE(log.errors.empty()) << log.errors;
    EXPECT_EQ(contentsOf(kExamples), examples) << "the data folder is only read";

    // The last valid record of each satellite.
    const std::string lastTec = readWholeFile(base + "_cmn.dat");
    std::string expected =
        "Note: this file contains last TEC value of each PRN, may be useful for bias correction in hourly or 15min "
        "files\r\nMJdt\tPRN\tsTEC\tvTEC\tElev\r\n";
    for (const auto& [prn, series] : job.tec) {
        auto last = std::find_if(series.rbegin(), series.rend(), [](const auto& e) { return e.second.valid == 1; });
        ASSERT_NE(last, series.rend());
        const TecRecord& r = last->second;
        expected += strfmt("%6.5f\t%02d\t%2.2f\t%2.2f\t%2.2f\r\n", r.epochMjd, prn, r.slantTec, r.verticalTec,
                           r.elevation_deg);
    }
    EXPECT_EQ(lastTec, expected);
    EXPECT_EQ(job.tec.size(), 30u);

    // The RINEX job on the same files: the same records of the day. The TEC differs only
    // by 2.852 TECU/ns against the carriers' 2.8539 (0.07 %), and by where that moves a
    // value across a threshold of the cycle-slip search or the levelling.
    DayRequest request;
    request.inputPath = kExamples + "bjfs0010.20o";
    request.observationFiles = {request.inputPath};
    request.dataDirectory = kExamples;
    request.targetDirectory = request.workDirectory = rinexOut.path();
    DayEnvironment toRinexOut = environment;
    toRinexOut.options.separateTarget = true;
    toRinexOut.options.targetDir = rinexOut.path();
    DayJob rinexJob;
    RunLog rinexLog;
    ASSERT_EQ(RunRinexDay(request, toRinexOut, rinexJob, rinexLog), RinexDayResult::kDone) << rinexLog.messages;
    EXPECT_EQ(contentsOf(kExamples), examples);
    const auto mine = cmnLines(base + ".cmn");
    const auto theirs = cmnLines(rinexOut.path() + "bjfs001-2020-01-01.Cmn");
    ASSERT_EQ(mine.size(), theirs.size());
    std::vector<double> slant, vertical;
    for (const auto& [key, values] : theirs) {
        const auto found = mine.find(key);
        ASSERT_NE(found, mine.end()) << key.first << " " << key.second;
        slant.push_back(std::abs(found->second[0] - values[0]));
        vertical.push_back(std::abs(found->second[1] - values[1]));
        ASSERT_EQ(found->second[2], values[2]) << "the same S4";
    }
    std::sort(slant.begin(), slant.end());
    std::sort(vertical.begin(), vertical.end());
    const std::size_t p99 = slant.size() * 99 / 100;
    EXPECT_LE(slant[p99], 0.07);
    EXPECT_LE(vertical[p99], 0.03);
    EXPECT_LE(slant.back(), 3.0);
    EXPECT_LE(vertical.back(), 1.0);
    EXPECT_NEAR(job.bias.rxBiasStage1, rinexJob.bias.rxBiasStage1, 0.2);
}

TEST(CommandFile, AReceiverBiasOfTheDayIsAppliedAndADayWithoutObservationsFails) {
    TempDir data, out, commands;
    for (const char* name : {"bjfs0010.20o", "brdc0010.20n", "P1C12001.DCB.Z", "P1P22001_ALL.DCB.Z"}) {
        fs::copy_file(kExamples + name, data.path() + name);
    }
    data.write("bjfs001-2020-01-01.Bias", "RxBias (TEC units) stage1= -42.0 stage2= -1.1 Total= -43.1\r\n");
    const StationCatalogue catalogue = shippedCatalogue();
    const DayEnvironment environment{&catalogue, RunOptions{}, "", {}, nullptr};
    Parsed p = parse(commands, exampleCommands(data.path(), out.path(), "Yes"));
    ASSERT_TRUE(p.valid);
    DayJob job;
    RunLog log;
    ASSERT_EQ(RunCommandFile(p.file, environment, job, log), RinexDayResult::kDone) << log.messages;
    EXPECT_TRUE(contains(log.messages, "\r\nReceiver bias from " + data.path() + "bjfs001-2020-01-01.Bias: Total= "
                                       "-43.1 TECU\r\n"));
    EXPECT_EQ(job.bias.rxBiasStage1, -43.1);
    EXPECT_EQ(job.bias.rxBiasStage2, 0.0);
    EXPECT_TRUE(contains(readWholeFile(out.path() + "bjfs0010.Bias"), "stage1= -43.1 stage2= 0.0 Total= -43.1"));

    // Every named file fails: no products, the day counts as failed.
    p.file.inputFiles = {"bjfs0020.20o"};
    TempDir empty;
    p.file.outputPath = empty.path();
    RunLog failed;
    EXPECT_EQ(RunCommandFile(p.file, environment, job, failed), RinexDayResult::kObservationFailed);
    EXPECT_TRUE(contains(failed.messages, "\r\nCan't open observation input file " + data.path() + "bjfs0020.20o"));
    EXPECT_TRUE(contains(failed.messages, "\r\nObs. file read ERRORS.... \r\n"));
    EXPECT_TRUE(fs::is_empty(empty.path()));
}

TEST(CommandFile, TheProgramRunsTheFileLogsAndClosesWithItsExitStatus) {
    TempDir commands, out;
    // Complete: products, the last TEC values and the log in the program's folder.
    const std::string good = commands.write("bjfs.txt", exampleCommands(kExamples, out.path()));
    ToolRun run = velarix(good);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "TASK COMPLETE.. Aborting now!!"));
    for (const char* name : {"bjfs0010.cmn", "bjfs0010.Bias", "bjfs0010_cmn.dat", "bjfs001-2020-01-01.Std"}) {
        EXPECT_TRUE(fs::exists(out.path() + name)) << name;
    }
    const std::string programLog = std::string(VELARIX_BIN).substr(0, std::string(VELARIX_BIN).rfind('/') + 1) +
                                   "Log_file.txt";
    EXPECT_TRUE(contains(readWholeFile(programLog), "Entered/input file is  " + good));

    // Keys missing: nothing is read, exit status 1.
    const std::string incomplete = commands.write("incomplete.txt", "use_sat_dcb yes\n");
    run = velarix(incomplete);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(contains(run.output, "TASK in-COMPLETE.. Aborting now!!"));
    EXPECT_TRUE(contains(run.output, "Invalid file - no input files given")) << run.output;

    // A day that fails (no navigation file): exit status 3.
    TempDir data, failedOut;
    fs::copy_file(kExamples + "bjfs0010.20o", data.path() + "bjfs0010.20o");
    run = velarix(commands.write("nonav.txt", exampleCommands(data.path(), failedOut.path())));
    EXPECT_EQ(run.exitCode, 3) << run.output;
    EXPECT_TRUE(contains(run.output, "Error! navigation file not found: " + data.path() + "brdc0010.20n"));
    EXPECT_TRUE(fs::is_empty(failedOut.path()));
}

}  // namespace velarix
