#include "ui/settings.h"

#include <gtest/gtest.h>

#include "test_support.h"

TEST(Settings, SaveThenLoadRestoresEveryStoredChoiceButNotTheSkipSwitch) {
    TempDir dir;
    const std::string path = dir.path() + "Velarix.ini";
    RunOptions saved;
    saved.selectScope(kThisYear);
    saved.scopeWord |= kAllStations;
    saved.fileWord = kCmnFile | kDatFile;
    saved.imageWord = kTecPrnImages | kHighResolution | kSkipExistingCmn;
    saved.separateTarget = true;
    saved.targetDir = "/data/products";
    ASSERT_TRUE(saveSettings(path, saved));

    const std::string text = readWholeFile(path);
    EXPECT_NE(text.find("[Process Options]\nThis Day only=false\nThis Month=false\nThis Year=true\n"
                        "This Directory=false\nIs All Stations=true\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Target Path=/data/products"), std::string::npos);
    EXPECT_NE(text.find("Biased/unBiased TEC plot=false"), std::string::npos);
    EXPECT_EQ(text.find("Skip"), std::string::npos);

    RunOptions loaded;
    EXPECT_EQ(loadSettings(path, loaded), 2);
    EXPECT_EQ(loaded.scopeWord, kThisYear | kAllStations);
    EXPECT_EQ(loaded.fileWord, kCmnFile | kDatFile);
    EXPECT_EQ(loaded.imageWord, kTecPrnImages | kHighResolution);  // skip switch off after a start
    EXPECT_TRUE(loaded.separateTarget);
    EXPECT_EQ(loaded.targetDir, "/data/products");
}

TEST(Settings, ProductsInTheDataFolderRemoveTheTargetPathKey) {
    TempDir dir;
    const std::string path = dir.path() + "Velarix.ini";
    RunOptions options;
    options.separateTarget = true;
    options.targetDir = "/elsewhere";
    ASSERT_TRUE(saveSettings(path, options));
    options.separateTarget = false;
    ASSERT_TRUE(saveSettings(path, options));
    const std::string text = readWholeFile(path);
    EXPECT_EQ(text.find("Target Path"), std::string::npos) << text;
    EXPECT_NE(text.find("Target Directory=false"), std::string::npos);
}

TEST(Settings, HandWrittenFileSelectsMonthScopeAndOtherValuesCountAsFalse) {
    TempDir dir;
    const std::string path = dir.write("Velarix.ini",
                                       "[process options]\r\nThis Month = true\r\nIs All Stations=yes\r\n"
                                       "[Output File Options]\r\nCMN file=TRUE\r\nDAT file=true\r\n");
    RunOptions options;
    options.scopeWord = kThisDayOnly | kAllStations;
    EXPECT_EQ(loadSettings(path, options), 2);
    EXPECT_EQ(options.scopeWord, kThisMonth);              // "yes" is not "true"
    EXPECT_EQ(options.fileWord & (kCmnFile | kDatFile), kDatFile);  // values are case-sensitive
}

TEST(Settings, MissingFileKeepsTheStartUpChoices) {
    TempDir dir;
    RunOptions options;
    const RunOptions defaults;
    EXPECT_EQ(loadSettings(dir.path() + "absent.ini", options), 0);
    EXPECT_EQ(options.scopeWord, defaults.scopeWord);
    EXPECT_EQ(options.fileWord, defaults.fileWord);
    EXPECT_EQ(options.imageWord, defaults.imageWord);
}

TEST(Settings, S4ArchiveRootsRoundTripAsOneSemicolonList) {
    TempDir dir;
    const std::string path = dir.path() + "Velarix.ini";
    RunOptions saved;
    saved.s4ArchiveRoots = {"/data/lisn archive", "/mnt/s4"};
    ASSERT_TRUE(saveSettings(path, saved));
    EXPECT_TRUE(contains(readWholeFile(path), "[S4 Options]\nArchive Roots=/data/lisn archive;/mnt/s4\n"));
    RunOptions loaded;
    loaded.s4ArchiveRoots = {"/old"};
    loadSettings(path, loaded);
    EXPECT_EQ(loaded.s4ArchiveRoots, saved.s4ArchiveRoots);

    // Blanks around a path and empty entries are dropped, and the roots alone raise no
    // change flag; a file without the key keeps the roots.
    const std::string hand = dir.write("hand.ini", "[S4 Options]\r\nArchive Roots= /a ; ;/b;\r\n");
    ASSERT_EQ(loadSettings(hand, loaded), 0);
    EXPECT_EQ(loaded.s4ArchiveRoots, (std::vector<std::string>{"/a", "/b"}));
    const std::string without = dir.write("without.ini", "[Process Options]\r\nThis Month=true\r\n");
    loadSettings(without, loaded);
    EXPECT_EQ(loaded.s4ArchiveRoots, (std::vector<std::string>{"/a", "/b"}));
}
