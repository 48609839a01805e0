#include "ui/settings.h"

#include <gtest/gtest.h>

#include <tuple>

#include "test_support.h"

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
    EXPECT_EQ(loadSettings(path, loaded), 2);
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
    EXPECT_EQ(loadSettings(dir.path() + "absent.ini", options), 0);
    EXPECT_EQ(options.scopeWord, kThisDayOnly | kAllStations);

    // Section names ignore case; values are case-sensitive and anything but "true" is
    // false. Blanks around a root and empty roots are dropped.
    EXPECT_EQ(loadSettings(dir.write("a.ini", "[process options]\r\nThis Month = true\r\nIs All Stations=yes\r\n"
                                              "[Output File Options]\r\nCMN file=TRUE\r\nDAT file=true\r\n"
                                              "[S4 Options]\r\nArchive Roots= /a ; ;/b;\r\n"),
                           options),
              2);
    EXPECT_EQ(options.scopeWord, kThisMonth);
    EXPECT_EQ(options.fileWord & (kCmnFile | kDatFile), kDatFile);
    EXPECT_EQ(options.s4ArchiveRoots, (std::vector<std::string>{"/a", "/b"}));
    // The roots alone raise no change flag; a file without the key keeps them.
    EXPECT_EQ(loadSettings(dir.write("b.ini", "[S4 Options]\r\nArchive Roots=/c\r\n"), options), 0);
    loadSettings(dir.write("c.ini", "[Process Options]\r\nThis Month=true\r\n"), options);
    EXPECT_EQ(options.s4ArchiveRoots, std::vector<std::string>{"/c"});
}
