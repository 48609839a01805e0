// The velarix program as a user runs it from a shell.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

namespace {
const char* const kObs = "     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n";

ToolRun velarix(const std::string& arguments) {
    return runCommand(std::string(VELARIX_BIN) + " " + arguments + " </dev/null 2>&1");
}
}  // namespace

TEST(VelarixProgram, ScopeStationsRefusalsAndExitStatus) {
    TempDir data;
    for (const char* name : {"bjfs0010.20o", "bjfs0020.20o", "bjfs0310.20o", "bjfs0320.20o", "abcd0010.20o"}) {
        data.write(name, kObs);
    }
    const std::string settings = " --settings " + data.path() + "none.ini --no-download ";
    // Header lines alone, and no navigation file: every day fails, the run goes on.
    ToolRun run = velarix(settings + "--scope month " + data.path() + "bjfs0010.20o auto");
    EXPECT_EQ(run.exitCode, 3) << run.output;
    EXPECT_TRUE(contains(run.output, "Total file(s):  3, 1 Day File(s):  1")) << run.output;
    EXPECT_TRUE(contains(run.output, "---->> Rinex files completed 3 of 3")) << run.output;
    EXPECT_TRUE(contains(run.output, "TASK COMPLETE.. Aborting now!!"));
    EXPECT_TRUE(contains(readWholeFile(data.path() + "Log_errors.txt"),
                         data.path() + "bjfs0310.20o .. day not processed (err = -4): the navigation file could not be "
                                       "read, or holds no current ephemeris for the observations\r\n"));
    run = velarix(settings + "--scope month --all-stations " + data.path() + "bjfs0010.20o auto");
    EXPECT_TRUE(contains(run.output, "Total file(s):  4, 1 Day File(s):  1")) << run.output;
    EXPECT_TRUE(contains(readWholeFile(data.path() + "Log_file.txt"), "Velarix .. Ver 3.03"));

    run = velarix(settings + data.write("xxxx0010.80o", "x") + " auto");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(contains(run.output, "The dates on the filename are not valid  OR the PC date is not correct"));
    run = velarix(settings + data.write("notes.abc", "x"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(contains(run.output, "Invalid input file, please check the selected filename"));
    EXPECT_EQ(velarix("--scope week x.20o").exitCode, 2);
    EXPECT_EQ(velarix("--help").exitCode, 0);
}

TEST(VelarixProgram, ASignalStopsTheRunAfterTheFileInWorkWithItsStatus) {
    // Four years of days: far more log text than a pipe holds, so that the program is
    // still in the batch when the signal comes.
    TempDir data;
    for (int year = 20; year <= 23; ++year) {
        for (int day = 1; day <= 365; ++day) data.write(strfmt("bjfs%03d0.%02do", day, year), kObs);
    }
    BackgroundRun run({VELARIX_BIN, "--settings", data.path() + "none.ini", "--no-download", "--scope", "dir",
                       data.path() + "bjfs0010.20o", "auto"});
    ASSERT_TRUE(run.readUntil("Navigation file not found"));
    run.signal(SIGTERM);
    run.readToEnd();
    EXPECT_EQ(run.wait(), 143);
    EXPECT_FALSE(contains(run.output(), "Task complete"));
    const std::string log = readWholeFile(data.path() + "Log_file.txt");
    const size_t at = log.find("\r\nInterrupted after ");
    ASSERT_NE(at, std::string::npos);
    int done = 0, total = 0;
    ASSERT_EQ(std::sscanf(log.c_str() + at, "\r\nInterrupted after %d of %d files\r\n", &done, &total), 2);
    EXPECT_EQ(total, 1460);
    EXPECT_TRUE(done >= 1 && done < total) << done;
}

}  // namespace velarix
