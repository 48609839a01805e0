// velarix-tools obsinfo as a user runs it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

#include "test_support.h"

TEST(ObsInfoTool, SummarisesARead) {
    const ToolRun run = runTools("obsinfo '" + std::string(VELARIX_TEST_DATA) + "/obs_bjfs_excerpt.20o" + "'", "2>/dev/null");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(contains(run.output, "\r"));
    EXPECT_TRUE(contains(run.output, "\nRinex obs read (56 lines, 2 epochs, 1 lines discarded)\n ..DONE..\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "RINEX version: 2.11\n"));
    EXPECT_TRUE(contains(run.output, "Systems: GPS\n"));
    EXPECT_TRUE(contains(run.output, "  GPS      C1C C2P L1P L2P; S1P S2P\n"));
    EXPECT_TRUE(contains(run.output, "  G02      1"));
    EXPECT_TRUE(contains(run.output, "  G05      2"));
    EXPECT_TRUE(contains(run.output, "Epochs: 2\n"));
    EXPECT_TRUE(contains(run.output, "First epoch: 2020-01-01 00:00:00.000\n"));
    EXPECT_TRUE(contains(run.output, "Last epoch: 2020-01-01 00:19:00.000\n"));

    const ToolRun rinex3 = runTools("obsinfo '" + std::string(VELARIX_TEST_DATA) + "/obs_esbc_r305_excerpt.rnx" + "'", "2>/dev/null");
    EXPECT_EQ(rinex3.exitCode, 0);
    EXPECT_TRUE(contains(rinex3.output, "\nUnknown or unsupported RINEX version\n"));
    EXPECT_TRUE(contains(rinex3.output, "Systems: GPS, SBASGeo, Glonass, Galileo, BeiDou, QZSS\n"));
    EXPECT_TRUE(contains(rinex3.output, "  BeiDou   C2I C6I L2I L6I; S2I S6I\n"));
    EXPECT_TRUE(contains(rinex3.output, "Last epoch: 2020-06-25 00:00:30.000\n"));
}

TEST(ObsInfoTool, FailsWhenThereIsNothingToRead) {
    TempDir dir;
    EXPECT_NE(runTools("obsinfo '" + dir.path() + "missing.20o" + "'", "2>/dev/null").exitCode, 0);
    const ToolRun incomplete = runTools("obsinfo '" + dir.write("cut.20o", readWholeFile(std::string(VELARIX_TEST_DATA) +
                                                                      "/obs_bjfs_excerpt.20o").substr(0, 800)) + "'", "2>/dev/null");
    EXPECT_NE(incomplete.exitCode, 0);
    EXPECT_TRUE(contains(incomplete.output, "Error! incomplete header... end of file.."));
    EXPECT_NE(runTools("obsinfo '" + dir.write("broken.20o.gz", "not gzip at all") + "'", "2>/dev/null").exitCode, 0);
}
