// The velarix program as a user runs it from a shell.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {
ToolRun velarix(const std::string& arguments) {
    return runCommand(std::string(VELARIX_BIN) + " " + arguments + " </dev/null 2>&1");
}
}  // namespace

TEST(VelarixProgram, ScopeStationsRefusalsAndExitStatus) {
    TempDir data;
    for (const char* name : {"bjfs0010.20o", "bjfs0020.20o", "bjfs0310.20o", "bjfs0320.20o", "abcd0010.20o"}) {
        data.write(name, "     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n");
    }
    const std::string settings = " --settings " + data.path() + "none.ini ";
    ToolRun run = velarix(settings + "--scope month " + data.path() + "bjfs0010.20o auto");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "Total file(s):  3, 1 Day File(s):  1")) << run.output;
    EXPECT_TRUE(contains(run.output, "TASK COMPLETE.. Aborting now!!"));
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
