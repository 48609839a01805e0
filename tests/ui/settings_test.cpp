#include "ui/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <utility>
#include <vector>

#include "test_support.h"

namespace velarix {

TEST(Settings, SaveThenLoadRestoresEveryStoredChoiceButNotTheSkipSwitch) {
    TempDir dir;
    const std::string path = dir.path() + "Velarix.ini";
    RunOptions saved;
    saved.scopeWord = kThisYear | kAllStations;
    saved.fileWord = kCmnFile | kDatFile;
    saved.imageWord = kTecPrnImages | kHighResolution | kSkipExistingCmn;
    saved.separateTarget = true;
    saved.targetDir = "/data/products";
    saved.s4ArchiveRoots = {"/data/lisn archive", "/mnt/s4"};
    ASSERT_TRUE(saveSettings(path, saved));
    const std::string text = readWholeFile(path);
    for (const char* part : {"[Process Options]\nThis Day only=false\nThis Month=false\nThis Year=true\n"
                             "This Directory=false\nIs All Stations=true\n",
                             "Target Path=/data/products", "Biased/unBiased TEC plot=false",
                             "[S4 Options]\nArchive Roots=/data/lisn archive;/mnt/s4\n"}) {
        EXPECT_TRUE(contains(text, part)) << part << " in\n" << text;
    }
    EXPECT_FALSE(contains(text, "Skip"));

    RunOptions loaded;
    EXPECT_EQ(loadSettings(path, loaded), SettingsChange::kScope);
    saved.imageWord &= ~kSkipExistingCmn;  // the skip switch is off after a start
    EXPECT_EQ(std::tie(loaded.scopeWord, loaded.fileWord, loaded.imageWord, loaded.separateTarget, loaded.targetDir,
                       loaded.s4ArchiveRoots),
              std::tie(saved.scopeWord, saved.fileWord, saved.imageWord, saved.separateTarget, saved.targetDir,
                       saved.s4ArchiveRoots));

    // Products back in the data folder remove the target path key.
    saved.separateTarget = false;
    ASSERT_TRUE(saveSettings(path, saved));
    const std::string dataFolder = readWholeFile(path);
    EXPECT_TRUE(contains(dataFolder, "Target Directory=false") && !contains(dataFolder, "Target Path")) << dataFolder;
}

TEST(Settings, HandWrittenOrMissingFiles) {
    TempDir dir;
    RunOptions options;
    options.scopeWord = kThisDayOnly | kAllStations;
    EXPECT_EQ(loadSettings(dir.path() + "absent.ini", options), SettingsChange::kNone);
    EXPECT_EQ(options.scopeWord, kThisDayOnly | kAllStations);

    // Section names ignore case; values are case-sensitive and anything but "true" is
    // false. Blanks around a root and empty roots are dropped.
    EXPECT_EQ(loadSettings(dir.write("a.ini", "[process options]\r\nThis Month = true\r\nIs All Stations=yes\r\n"
                                              "[Output File Options]\r\nCMN file=TRUE\r\nDAT file=true\r\n"
                                              "[S4 Options]\r\nArchive Roots= /a ; ;/b;\r\n"),
                           options),
              SettingsChange::kScope);
    EXPECT_EQ(options.scopeWord, kThisMonth);
    EXPECT_EQ(options.fileWord & (kCmnFile | kDatFile), kDatFile);
    EXPECT_EQ(options.s4ArchiveRoots, (std::vector<std::string>{"/a", "/b"}));
    // The roots alone raise no change flag; a file without the key keeps them.
    EXPECT_EQ(loadSettings(dir.write("b.ini", "[S4 Options]\r\nArchive Roots=/c\r\n"), options),
              SettingsChange::kNone);
    EXPECT_EQ(loadSettings(dir.write("c.ini", "[Process Options]\r\nThis Month=true\r\n"), options),
              SettingsChange::kScope);
    // An output choice alone raises the smaller flag; the scope outranks it.
    EXPECT_EQ(loadSettings(dir.write("d.ini", "[Output Image Options]\r\nTEC 24hour Image=false\r\n"), options),
              SettingsChange::kOutput);
    EXPECT_EQ(loadSettings(dir.write("e.ini", "[Output File Options]\r\nCMN file=true\r\n[Process Options]\r\n"
                                              "This Month=true\r\n"),
                           options),
              SettingsChange::kScope);
    EXPECT_EQ(options.s4ArchiveRoots, std::vector<std::string>{"/c"});
}

TEST(Settings, SavingRefusesFilesThatAreNotSettingsAndValuesThatBreakLines) {
    TempDir dir;
    RunOptions options;
    options.scopeWord = kThisMonth;
    std::string reason;
    // A mistyped --settings naming a data file must not overwrite it.
    const std::string observation = dir.write("bjfs0010.20o", "     2.11           OBSERVATION DATA\n");
    EXPECT_FALSE(saveSettings(observation, options, &reason));
    EXPECT_EQ(reason, "not a settings file (none of its sections)");
    EXPECT_EQ(readWholeFile(observation), "     2.11           OBSERVATION DATA\n");
    const std::string target = dir.write("target.ini", "[Process Options]\nThis Month=false\n");
    std::filesystem::create_symlink(target, dir.path() + "link.ini");
    EXPECT_FALSE(saveSettings(dir.path() + "link.ini", options, &reason));
    EXPECT_EQ(reason, "not a regular file");
    EXPECT_FALSE(saveSettings(dir.path(), options));
    EXPECT_EQ(readWholeFile(target), "[Process Options]\nThis Month=false\n");

    // A line break in a value would add keys of its own choosing; nothing is written.
    const std::string settings = dir.write("Velarix.ini", "[S4 Options]\nArchive Roots=/a\n");
    for (const char* injected : {"/data\n[Process Options]\nThis Year=true", "/data\rThis Year=true"}) {
        RunOptions hostile = options;
        hostile.separateTarget = true;
        hostile.targetDir = injected;
        EXPECT_FALSE(saveSettings(settings, hostile, &reason));
        EXPECT_EQ(reason, "a value holds a line break");
        hostile.separateTarget = false;
        hostile.s4ArchiveRoots = {injected};
        EXPECT_FALSE(saveSettings(settings, hostile));
    }
    EXPECT_EQ(readWholeFile(settings), "[S4 Options]\nArchive Roots=/a\n");

    // Settings files and empty files are written, without a temporary file left behind.
    EXPECT_TRUE(saveSettings(settings, options));
    EXPECT_TRUE(saveSettings(dir.write("empty.ini", ""), options));
    RunOptions loaded;
    EXPECT_EQ(loadSettings(dir.path() + "empty.ini", loaded), SettingsChange::kScope);
    EXPECT_EQ(loaded.scopeWord, kThisMonth);
    EXPECT_EQ(runCommand("ls -A " + dir.path() + " | grep -c part-").output, "0\n");
}

TEST(Settings, ReadingStopsAtNonRegularAndOversizedFiles) {
    TempDir dir;
    std::string large = "[Process Options]\nThis Year=true\n";
    while (large.size() <= 64 * 1024) large += "; a comment line that makes the file long\n";
    for (const auto& [path, expected] : std::vector<std::pair<std::string, std::string>>{
             {std::string("/dev/zero"), "not a regular file"},
             {dir.path(), "not a regular file"},
             {dir.write("large.ini", large), "too large for a settings file"}}) {
        RunOptions options;
        options.scopeWord = kThisDayOnly;
        std::string problem;
        EXPECT_EQ(loadSettings(path, options, &problem), SettingsChange::kNone) << path;
        EXPECT_EQ(problem, expected) << path;
        EXPECT_EQ(options.scopeWord, kThisDayOnly);
    }
    std::string problem;
    RunOptions options;
    EXPECT_EQ(loadSettings(dir.path() + "missing.ini", options, &problem), SettingsChange::kNone);
    EXPECT_EQ(problem, "");
    // Just below the limit the file is read.
    large.resize(64 * 1024 - 1);
    EXPECT_EQ(loadSettings(dir.write("limit.ini", large), options, &problem), SettingsChange::kScope);
}

TEST(Settings, JobsAreStoredOnlyWhenChosenAndReadOnlyWhenWhole) {
    TempDir dir;
    const std::string path = dir.path() + "Velarix.ini";
    RunOptions options;
    options.jobs = 3;
    ASSERT_TRUE(saveSettings(path, options));
    EXPECT_TRUE(contains(readWholeFile(path), "Is All Stations=false\nJobs=3\n")) << readWholeFile(path);
    RunOptions loaded;
    EXPECT_EQ(loadSettings(path, loaded), SettingsChange::kScope);  // the saved scope is applied too
    EXPECT_EQ(loaded.jobs, 3);
    options.jobs = 0;  // one per core again: the key goes
    ASSERT_TRUE(saveSettings(path, options));
    EXPECT_FALSE(contains(readWholeFile(path), "Jobs"));

    for (const char* value : {"x", "2.5", "-1", "99999", "4 cores"}) {
        RunOptions read;
        read.jobs = 7;
        // Only the jobs value is looked at here.
        (void)loadSettings(dir.write("j.ini", std::string("[Process Options]\nJobs=") + value + "\n"), read);
        EXPECT_EQ(read.jobs, 0) << value;
    }
    RunOptions blanks;
    (void)loadSettings(dir.write("k.ini", "[Process Options]\nJobs = 2 \r\n"), blanks);  // only the jobs value
    EXPECT_EQ(blanks.jobs, 2);
}

}  // namespace velarix
