// velarix-tools navinfo, run as a user would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <memory>

#include "nav_test_text.h"
#include "test_support.h"

TEST(NavInfoTool, SummarisesAMixedFile) {
    const ToolRun run = runTools("navinfo " + std::string(VELARIX_TEST_DATA) + "/nav_esbc_r305_excerpt.rnx");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "Reading nav file ")) << run.output;
    EXPECT_TRUE(contains(run.output, "version: 3.05  type: N  system: systemMixed\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "records: 12\n"));
    EXPECT_TRUE(contains(run.output, "  Glonass       2 records    1 satellites\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "  E01      2  2020-06-24 23:30:00.000  2020-06-24 23:30:00.000\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "  R01      2  2020-06-24 23:15:18.000  2020-06-24 23:45:18.000\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "first reference epoch: 2020-06-24 22:00:14.000\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "last reference epoch: 2020-06-25 12:00:00.000\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "  GAL      2.8250e+01   7.8125e-03   1.0071e-02   0.0000e+00\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "  GPUT   a0   9.3132257462e-10  a1   2.664535259e-15  T  589824  W  2111\n"))
        << run.output;
    EXPECT_TRUE(contains(run.output, "leap seconds: 18\n"));
}

TEST(NavInfoTool, ReportsWhatItCannotRead) {
    EXPECT_NE(runTools("navinfo /nonexistent/brdc0010.20n").exitCode, 0);
    EXPECT_EQ(runTools("navinfo").exitCode, 2);

    TempDir dir;
    const ToolRun observation = runTools("navinfo " + dir.write(
        "x.24o", navHeaderLine("     3.04           OBSERVATION DATA    M: MIXED", "RINEX VERSION / TYPE") + navEnd()));
    EXPECT_EQ(observation.exitCode, 1);
    EXPECT_TRUE(contains(observation.output, "Error! reading Navigation file")) << observation.output;

    // A read that stopped early still ends in 0, with the reason shown.
    const ToolRun cut =
        runTools("navinfo " + dir.write("cut.rnx", r3Header() + r3Record("G01", "2024 01 10 00 00 00", {}, gpsOrbit(), 3)));
    EXPECT_EQ(cut.exitCode, 0);
    EXPECT_TRUE(contains(cut.output, " NavR3-file last record incomplete @line#6")) << cut.output;
    EXPECT_TRUE(contains(cut.output, "read status: 4\n")) << cut.output;
}

TEST(NavInfoTool, ExpandsCompressedInputs) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data folder";
    const ToolRun run = runTools("navinfo " + shared + "set6_bele_dgar_2024_010/brdc0100.24g.gz");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "records: 1198\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "  Glonass    1198 records   26 satellites\n")) << run.output;
}
