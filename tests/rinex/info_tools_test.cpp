// velarix-tools obsinfo and navinfo, run as a user runs them.
#include <gtest/gtest.h>

#include "nav_test_text.h"

namespace velarix {

TEST(InfoTools, ObsinfoAndNavinfoSummariseAReadOrFail) {
    const std::string data = std::string(VELARIX_TEST_DATA) + "/";
    const ToolRun obs = runTools("obsinfo '" + data + "obs_bjfs_excerpt.20o'", "2>/dev/null");
    EXPECT_EQ(obs.exitCode, 0);
    EXPECT_FALSE(contains(obs.output, "\r"));
    for (const char* line :
         {"\nRinex obs read (56 lines, 2 epochs, 1 lines discarded)\n ..DONE..\n", "RINEX version: 2.11\n",
          "  GPS      C1C C2P L1P L2P; S1P S2P\n", "  G02      1", "Epochs: 2\n",
          "First epoch: 2020-01-01 00:00:00.000\n", "Last epoch: 2020-01-01 00:19:00.000\n"}) {
        EXPECT_TRUE(contains(obs.output, line)) << line << obs.output;
    }
    const ToolRun rinex3 = runTools("obsinfo '" + data + "obs_esbc_r305_excerpt.rnx'", "2>/dev/null");
    EXPECT_TRUE(contains(rinex3.output, "Systems: GPS, SBASGeo, Glonass, Galileo, BeiDou, QZSS\n")) << rinex3.output;
    const ToolRun nav = runTools("navinfo '" + data + "nav_esbc_r305_excerpt.rnx'");
    EXPECT_EQ(nav.exitCode, 0);
    for (const char* line :
         {"version: 3.05  type: N  system: systemMixed\n", "  Glonass       2 records    1 satellites\n",
          "  E01      2  2020-06-24 23:30:00.000  2020-06-24 23:30:00.000\n",
          "last reference epoch: 2020-06-25 12:00:00.000\n",
          "  GAL      2.8250e+01   7.8125e-03   1.0071e-02   0.0000e+00\n",
          "  GPUT   a0   9.3132257462e-10  a1   2.664535259e-15  T  589824  W  2111\n", "leap seconds: 18\n"}) {
        EXPECT_TRUE(contains(nav.output, line)) << line << nav.output;
    }

    TempDir dir;
    const std::string bjfs = readWholeFile(data + "obs_bjfs_excerpt.20o");
    const ToolRun cut = runTools("obsinfo '" + dir.write("cut.20o", bjfs.substr(0, 800)) + "'", "2>/dev/null");
    EXPECT_NE(cut.exitCode, 0);
    EXPECT_TRUE(contains(cut.output, "Error! incomplete header... end of file.."));
    EXPECT_NE(runTools("obsinfo '" + dir.write("broken.20o.gz", "not gzip at all") + "'", "2>/dev/null").exitCode, 0);
    const ToolRun notNav = runTools("navinfo '" + dir.write("x.24o", bjfs) + "'");
    EXPECT_EQ(notNav.exitCode, 1);
    EXPECT_TRUE(contains(notNav.output, "Error! reading Navigation file")) << notNav.output;
    EXPECT_EQ(runTools("navinfo").exitCode, 2);
    // A read that stopped early, after a whole record, still ends in 0, with the reason shown.
    const std::string cutR3 = r3Header() + r3Record("G02", "2024 01 10 00 00 00", {}, gpsOrbit()) +
                              r3Record("G01", "2024 01 10 00 00 00", {}, gpsOrbit(), 3);
    const ToolRun short3 = runTools("navinfo " + dir.write("cut.rnx", cutR3));
    EXPECT_EQ(short3.exitCode, 0);
    EXPECT_TRUE(contains(short3.output, " NavR3-file last record incomplete @line#14")) << short3.output;
    EXPECT_TRUE(contains(short3.output, "read status: 4\n")) << short3.output;

    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data folder";
    const ToolRun gzipped = runTools("navinfo " + shared + "set6_bele_dgar_2024_010/brdc0100.24g.gz");
    EXPECT_EQ(gzipped.exitCode, 0);
    EXPECT_TRUE(contains(gzipped.output, "  Glonass    1198 records   26 satellites\n")) << gzipped.output;
}

TEST(InfoTools, ForeignEmptyOrNonRegularFilesExitOneWithTheReason) {
    const std::string bad = std::string(VELARIX_TEST_DATA) + "/bad/";
    TempDir dir;
    ASSERT_EQ(runCommand("mkfifo '" + dir.path() + "pipe.20o' '" + dir.path() + "pipe.20n'").exitCode, 0);
    const struct {
        std::string arguments;
        std::string reason;  // the last line on standard error
    } cases[] = {
        {"obsinfo " + bad + "test_input_rinex2_obs_NotObs.06o",
         "not a RINEX observation file (see RINEX VERSION / TYPE)"},
        {"obsinfo " + bad + "blank.10o", "no epoch read"},
        {"obsinfo " + dir.path(), "not a regular file"},
        {"obsinfo " + dir.path() + "pipe.20o", "not a regular file"},  // once blocked for ever
        {"navinfo " + bad + "test_input_rinex2_nav_UnsupportedRinex.99n", "no ephemeris record read"},
        {"navinfo " + bad + "blank.10n", "no ephemeris record read"},
        {"navinfo " + dir.path() + "pipe.20n", "not a regular file"},
        {"navinfo " + bad + "blank.10o", "not a navigation file this reader knows"},
    };
    for (const auto& c : cases) {
        const std::string path = c.arguments.substr(8);
        const ToolRun run =
            runCommand("timeout 20 " + std::string(VELARIX_TOOLS_BIN) + " " + c.arguments + " 2>&1 >/dev/null");
        EXPECT_EQ(run.exitCode, 1) << c.arguments;
        EXPECT_TRUE(run.output.ends_with("velarix-tools: " + path + ": " + c.reason + "\n")) << run.output;
    }
}

}  // namespace velarix
