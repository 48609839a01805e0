// velarix-tools obsinfo as a user runs it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

#include "test_support.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string output;
};

ToolRun obsinfo(const std::string& path) {
    ToolRun run;
    const std::string command = std::string(VELARIX_TOOLS_BIN) + " obsinfo '" + path + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool has(const ToolRun& run, const std::string& text) { return run.output.find(text) != std::string::npos; }

}  // namespace

TEST(ObsInfoTool, SummarisesARead) {
    const ToolRun run = obsinfo(std::string(VELARIX_TEST_DATA) + "/obs_bjfs_excerpt.20o");
    EXPECT_EQ(run.status, 0);
    EXPECT_FALSE(has(run, "\r"));
    EXPECT_TRUE(has(run, "\nRinex obs read (56 lines, 2 epochs, 1 lines discarded)\n ..DONE..\n")) << run.output;
    EXPECT_TRUE(has(run, "RINEX version: 2.11\n"));
    EXPECT_TRUE(has(run, "Systems: GPS\n"));
    EXPECT_TRUE(has(run, "  GPS      C1C C2P L1P L2P; S1P S2P\n"));
    EXPECT_TRUE(has(run, "  G02      1"));
    EXPECT_TRUE(has(run, "  G05      2"));
    EXPECT_TRUE(has(run, "Epochs: 2\n"));
    EXPECT_TRUE(has(run, "First epoch: 2020-01-01 00:00:00.000\n"));
    EXPECT_TRUE(has(run, "Last epoch: 2020-01-01 00:19:00.000\n"));

    const ToolRun rinex3 = obsinfo(std::string(VELARIX_TEST_DATA) + "/obs_esbc_r305_excerpt.rnx");
    EXPECT_EQ(rinex3.status, 0);
    EXPECT_TRUE(has(rinex3, "\nUnknown or unsupported RINEX version\n"));
    EXPECT_TRUE(has(rinex3, "Systems: GPS, SBASGeo, Glonass, Galileo, BeiDou, QZSS\n"));
    EXPECT_TRUE(has(rinex3, "  BeiDou   C2I C6I L2I L6I; S2I S6I\n"));
    EXPECT_TRUE(has(rinex3, "Last epoch: 2020-06-25 00:00:30.000\n"));
}

TEST(ObsInfoTool, FailsWhenThereIsNothingToRead) {
    TempDir dir;
    EXPECT_NE(obsinfo(dir.path() + "missing.20o").status, 0);
    const ToolRun incomplete = obsinfo(dir.write("cut.20o", readWholeFile(std::string(VELARIX_TEST_DATA) +
                                                                      "/obs_bjfs_excerpt.20o").substr(0, 800)));
    EXPECT_NE(incomplete.status, 0);
    EXPECT_TRUE(has(incomplete, "Error! incomplete header... end of file.."));
    EXPECT_NE(obsinfo(dir.write("broken.20o.gz", "not gzip at all")).status, 0);
}
