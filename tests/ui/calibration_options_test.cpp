// The calibration and mapping choices: command line over settings file, both kept by the
// settings file, unknown words refused.
#include <gtest/gtest.h>

#include <vector>

#include "test_support.h"
#include "ui/command_line.h"
#include "ui/settings.h"

namespace velarix {

namespace {

CommandLineStatus parseWords(std::vector<const char*> argv, CommandLine& line) {
    argv.insert(argv.begin(), "velarix");
    std::string messages;
    return parseCommandLine(static_cast<int>(argv.size()), argv.data(), line, messages);
}

}  // namespace

TEST(CalibrationOptions, CommandLineSettingsAndUnknownWords) {
    RunOptions options;
    EXPECT_TRUE(options.calibration == Calibration::kFloor && options.mapping == IonoMapping::kThinShell);

    TempDir dir;
    const std::string path = dir.write("Velarix.ini", "[Calibration Options]\r\nCalibration=DCB\r\nMapping=mslm\r\n");
    std::string problem;
    (void)loadSettings(path, options, &problem);  // only the calibration choices are looked at
    EXPECT_TRUE(options.calibration == Calibration::kDcb && options.mapping == IonoMapping::kMslm) << problem;

    // The command line wins over the file; what it leaves out stays the file's.
    CommandLine line;
    ASSERT_EQ(parseWords({"--calibration", "model", "x.20o"}, line), CommandLineStatus::kRun);
    applyCommandLine(line, options);
    EXPECT_TRUE(options.calibration == Calibration::kModel && options.mapping == IonoMapping::kMslm);
    ASSERT_EQ(parseWords({"--mapping", "thin-shell", "x.20o"}, line), CommandLineStatus::kRun);
    applyCommandLine(line, options);
    EXPECT_TRUE(options.calibration == Calibration::kModel && options.mapping == IonoMapping::kThinShell);
    EXPECT_EQ(parseWords({"--calibration", "night", "x.20o"}, line), CommandLineStatus::kUsageError);
    EXPECT_EQ(parseWords({"--mapping", "450", "x.20o"}, line), CommandLineStatus::kUsageError);

    // Saved and read back; an unknown word in the file keeps the choice and is named.
    ASSERT_TRUE(saveSettings(path, options));
    RunOptions reread;
    EXPECT_EQ(loadSettings(path, reread), SettingsChange::kScope);  // the whole saved file, scope included
    EXPECT_TRUE(reread.calibration == Calibration::kModel && reread.mapping == IonoMapping::kThinShell);
    const std::string bad = dir.write("bad.ini", "[Calibration Options]\nCalibration=lowest\nMapping=mslm\n");
    RunOptions kept;
    problem.clear();
    (void)loadSettings(bad, kept, &problem);  // only the calibration choices are looked at
    EXPECT_TRUE(kept.calibration == Calibration::kFloor && kept.mapping == IonoMapping::kMslm);
    EXPECT_EQ(problem, "Calibration Options, Calibration: unknown choice 'lowest'");
}

}  // namespace velarix
