// velarix on a data folder without navigation and DCB files, the settings pointing at a
// loopback archive: the files arrive, are expanded, and the day's products are written.
#include <gtest/gtest.h>

#include <filesystem>

#include "control/download_setup.h"
#include "loopback.h"
#include "test_support.h"

namespace velarix {

namespace fs = std::filesystem;

namespace {

std::string examples() { return std::string(VELARIX_SOURCE_DIR) + "/examples/"; }

std::string settingsFor(const std::string& site) {
    return "[Download]\n"
           "Timeout=2\n"
           "DCB URL=" +
           site +
           "/CODE/{yyyy}/{kind}{yy}{mm}.DCB.Z\n"
           "Navigation URL=" +
           site +
           "/nav/{yyyy}/{ddd}/{station}{ddd}0.{yy}n.gz\n"
           "Navigation Stations=chpi, cro1 brdc\n"
           "Navigation Reconnect Pause=0\n"
           "DCB Reconnect Pause=0\n";
}

ToolRun velarix(const std::string& environment, const std::string& settings, const std::string& input,
                const std::string& options = "") {
    return runCommand(environment + " '" + VELARIX_BIN + "' --settings '" + settings + "' " + options +
                      " --products cmn,std,bias --images none '" + input + "' auto </dev/null 2>&1");
}

}  // namespace

TEST(DownloadProgram, AFullDayRunsWithItsFilesFetchedFromTheArchive) {
    TempDir archive;
    fs::create_directories(archive.path() + "CODE/2020");
    fs::create_directories(archive.path() + "nav/2020/001");
    fs::copy_file(examples() + "P1P22001_ALL.DCB.Z", archive.path() + "CODE/2020/P1P22001.DCB.Z");
    fs::copy_file(examples() + "P1C12001.DCB.Z", archive.path() + "CODE/2020/P1C12001.DCB.Z");
    writeGzip(archive.path() + "nav/2020/001/brdc0010.20n.gz", readWholeFile(examples() + "brdc0010.20n"));
    LoopbackServer ftp({"ftp", archive.path()});
    ASSERT_TRUE(ftp.ok());

    TempDir data;
    const std::string input = data.path() + "bjfs0010.20o";
    fs::copy_file(examples() + "bjfs0010.20o", input);
    const std::string settings = data.write("velarix.ini", settingsFor(ftp.url("ftp")));
    const ToolRun run = velarix("", settings, input);
    if (!haveLftp()) {
        EXPECT_EQ(run.exitCode, 3);
        EXPECT_TRUE(contains(run.output, "-->Error! lftp files not found")) << run.output;
        return;
    }
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(
        contains(run.output, "\r\n Navigation file not found..\r\n----Accessing Internet to download file!!---\r\n"));
    EXPECT_EQ(readWholeFile(data.path() + "brdc0010.20n"), readWholeFile(examples() + "brdc0010.20n"));
    EXPECT_TRUE(fs::exists(data.path() + "P1P22001.DCB"));
    EXPECT_TRUE(fs::exists(data.path() + "P1C12001.DCB"));
    EXPECT_FALSE(fs::exists(data.path() + "P1P22001.DCB.Z"));
    EXPECT_GT(fs::file_size(data.path() + "bjfs001-2020-01-01.Cmn"), 100000u);
    EXPECT_TRUE(fs::exists(data.path() + "bjfs001-2020-01-01.Bias"));
    EXPECT_EQ(readWholeFile(input), readWholeFile(examples() + "bjfs0010.20o"));
}

TEST(DownloadProgram, WithoutTheClientInPathTheDayEndsWithTheMessages) {
    TempDir data;
    const std::string input = data.path() + "bjfs0010.20o";
    fs::copy_file(examples() + "bjfs0010.20o", input);
    const std::string settings = data.write("velarix.ini", settingsFor("ftp://127.0.0.1:9"));
    const ToolRun run = velarix("PATH=/nonexistent", settings, input);
    EXPECT_EQ(run.exitCode, 3) << run.output;
    EXPECT_TRUE(contains(run.output,
                         "\r\n-->Error! lftp files not found in the program directory or in PATH.. \r\n"
                         "-->Try download files manually or put lftp files in directory and try again!\r\n"))
        << run.output;
    EXPECT_TRUE(contains(run.output, "Error! Navigation file not found...."));
    EXPECT_TRUE(contains(readWholeFile(data.path() + "Log_errors.txt"), "(err = -4)"));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(data.path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Log_errors.txt", "Log_file.txt", "bjfs0010.20o", "velarix.ini"}));

    // --no-download: no client is started, whatever the settings say.
    const ToolRun offline = velarix("PATH=/nonexistent", settings, input, "--no-download");
    EXPECT_EQ(offline.exitCode, 3);
    EXPECT_TRUE(contains(offline.output, "\r\nInfo! downloading is off in this run: place the file(s) in "));
    EXPECT_FALSE(contains(offline.output, "lftp"));
}

TEST(DownloadProgram, TheSettingsSectionOverTheDefaults) {
    TempDir dir;
    const std::string path = dir.write("Velarix.ini",
                                       "[Process Options]\nThis Day only=true\n[Download]\nClient=/opt/lftp\n"
                                       "Timeout=abc\nNavigation Stations= chpi,cro1  chap\n"
                                       "Navigation URL=ftp://h/{station}\nDCB Reconnect Pause=2\n");
    std::string problem;
    const ArchiveSettings settings = loadArchiveSettings(path, &problem);
    EXPECT_EQ(settings.client, "/opt/lftp");
    EXPECT_EQ(settings.timeoutSeconds, 60);
    EXPECT_TRUE(contains(problem, "\"Timeout\" is not a number of seconds")) << problem;
    EXPECT_EQ(settings.navigationStations, (std::vector<std::string>{"chpi", "cro1", "chap"}));
    EXPECT_EQ(settings.navigationUrl, "ftp://h/{station}");
    EXPECT_EQ(settings.dcbReconnectPauseSeconds, 2);
    EXPECT_EQ(settings.dcbUrl, ArchiveSettings().dcbUrl);

    const ArchiveSettings none = loadArchiveSettings(dir.path() + "missing.ini", &problem);
    EXPECT_EQ(none.navigationStations, ArchiveSettings().navigationStations);
}

}  // namespace velarix
