// The download against real servers on loopback: lftp fetches, the fetched archives are
// expanded, and every failure gives its messages and ends the session in bounded time.
#include "download/download.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "decompress/expand.h"
#include "loopback.h"
#include "test_support.h"

namespace velarix {

namespace fs = std::filesystem;

namespace {

constexpr double kDayMjd = 58849.0;  // 2020-01-01
const std::string kMissingClient = "\r\n-->Error! lftp files not found in the program directory or in PATH.. ";

std::string example(const std::string& name) {
    return readWholeFile(std::string(VELARIX_SOURCE_DIR) + "/examples/" + name);
}

// An archive tree: CODE's two DCB files of 2020-01 and their running-month names, and a
// navigation day that the first station lacks, the second has empty, the third has.
struct ArchiveTree {
    TempDir root;
    ArchiveTree() {
        fs::create_directories(root.path() + "CODE/2020");
        fs::create_directories(root.path() + "nav/2020/001");
        root.write("CODE/2020/P1P22001.DCB.Z", example("P1P22001_ALL.DCB.Z"));
        root.write("CODE/2020/P1C12001.DCB.Z", example("P1C12001.DCB.Z"));
        root.write("CODE/P1P2.DCB", "running month P1P2\n");
        root.write("CODE/P1C1.DCB", "running month P1C1\n");
        root.write("nav/2020/001/cro10010.20n.gz", "");
        writeGzip(root.path() + "nav/2020/001/brdc0010.20n.gz", example("brdc0010.20n"));
    }
};

// Runs one download and returns its log.
std::string download(const ArchiveSettings& settings, const std::string& dataDir, bool navigation,
                     MainWindow* window = nullptr, double nowMjd = 61000.0) {
    ArchiveDownloader downloader(settings, "", window, [nowMjd] { return nowMjd; });
    RunLog log;
    downloader.download({dataDir, kDayMjd, navigation}, log);
    return log.messages;
}

bool missingClientChecked(const std::string& dataDir) {
    if (haveLftp()) return false;
    const std::string log = download(loopbackSettings("ftp://127.0.0.1:9"), dataDir, true);
    EXPECT_TRUE(contains(log, kMissingClient)) << log;
    return true;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(Download, FetchesAMonthOfDcbFilesAndExpandsOnlyThem) {
    TempDir data;
    if (missingClientChecked(data.path())) return;
    ArchiveTree tree;
    LoopbackServer ftp({"ftp", tree.root.path()});
    ASSERT_TRUE(ftp.ok());
    // A user's own archive of the month and an unrelated file stay exactly as they are.
    const std::string own = data.write("P1P22001_ALL.DCB.Z", "user's own, not an archive");
    data.write("notes.txt", "x");
    RecordingWindow window;
    const std::string log = download(loopbackSettings(ftp.url("ftp")), data.path(), false, &window);

    TempDir expected;
    std::string message;
    ASSERT_EQ(
        expandFile(std::string(VELARIX_SOURCE_DIR) + "/examples/P1C12001.DCB.Z", expected.path() + "P1C1", message),
        DecodeStatus::kOk);
    EXPECT_EQ(readWholeFile(data.path() + "P1C12001.DCB"), readWholeFile(expected.path() + "P1C1")) << log;
    EXPECT_GT(fs::file_size(data.path() + "P1P22001.DCB"), 10000u);
    EXPECT_FALSE(fs::exists(data.path() + "P1P22001.DCB.Z"));  // expanded and removed
    EXPECT_EQ(readWholeFile(own), "user's own, not an archive");
    EXPECT_TRUE(contains(log, "\r\nNo. of files found in Directory are 2\r\nWait... decompressing them....\r\n"))
        << log;
    EXPECT_TRUE(contains(log, "\r\nDecompressing... " + data.path() + "P1C12001.DCB.Z ...done!\r\n"));
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(data.path())) entries += entry.is_regular_file();
    EXPECT_EQ(entries, 4u);  // no temporary file left behind
    EXPECT_GT(window.progressUpdates, 0);

    // Asked again, with the files there, nothing is fetched.
    const std::string again = download(loopbackSettings(ftp.url("ftp")), data.path(), false);
    EXPECT_TRUE(contains(again, "Info! P1P22001.DCB.Z is in the data folder already")) << again;
    EXPECT_FALSE(contains(again, "Downloaded"));
}

TEST(Download, TheRunningMonthIsFetchedUnderItsRollingNameOverHttp) {
    TempDir data;
    if (missingClientChecked(data.path())) return;
    ArchiveTree tree;
    LoopbackServer http({"http", tree.root.path()});
    ASSERT_TRUE(http.ok());
    const std::string log = download(loopbackSettings(http.url("http")), data.path(), false, nullptr, kDayMjd + 10.5);
    EXPECT_EQ(readWholeFile(data.path() + "P1P22001.DCB"), "running month P1P2\n") << log;
    EXPECT_EQ(readWholeFile(data.path() + "P1C12001.DCB"), "running month P1C1\n");
    EXPECT_TRUE(contains(log, "\r\nNO files found in Directory @ " + data.path() + "\r\n"));  // nothing to expand
}

TEST(Download, NavigationFromTheThirdStationAfterAMissingAndAnEmptyFile) {
    TempDir data;
    if (missingClientChecked(data.path())) return;
    ArchiveTree tree;
    LoopbackServer ftp({"ftp", tree.root.path()});
    ASSERT_TRUE(ftp.ok());
    const std::string log = download(loopbackSettings(ftp.url("ftp")), data.path(), true);
    EXPECT_TRUE(contains(log, "chpi0010.20n.gz does not exist")) << log;
    EXPECT_TRUE(contains(log, "\r\nFile size is zero, will try to download again with brdc")) << log;
    EXPECT_EQ(readWholeFile(data.path() + "brdc0010.20n"), example("brdc0010.20n"));
    EXPECT_FALSE(fs::exists(data.path() + "cro10010.20n.gz"));
    EXPECT_FALSE(fs::exists(data.path() + "brdc0010.20n.gz"));
}

TEST(Download, ADayFoundNowhereIsReportedAndNotAskedForAgain) {
    TempDir data;
    if (missingClientChecked(data.path())) return;
    ArchiveTree tree;
    LoopbackServer ftp({"ftp", tree.root.path()});
    ASSERT_TRUE(ftp.ok());
    ArchiveDownloader downloader(loopbackSettings(ftp.url("ftp")), "", nullptr);
    RunLog log;
    downloader.download({data.path(), kDayMjd + 1, true}, log);
    EXPECT_TRUE(contains(log.messages,
                         "\r\nNO pre-defined Nav. files found with chpi, cro1, brdc"
                         "\r\nThis programs needs modification by Zavo....\r\n"))
        << log.messages;
    RunLog second;
    downloader.download({data.path(), kDayMjd + 1, true}, second);
    EXPECT_TRUE(contains(second.messages, "did not have these file(s) earlier in this run"));
    EXPECT_EQ(fs::directory_iterator(data.path()), fs::directory_iterator());
}

TEST(Download, ALostSessionIsRetriedFourTimesThenGivenUp) {
    TempDir data;
    if (missingClientChecked(data.path())) return;
    ArchiveTree tree;
    for (const char* mode : {"drop", "hang", "cut"}) {
        LoopbackServer server({mode, tree.root.path()});
        ASSERT_TRUE(server.ok());
        ArchiveSettings settings = loopbackSettings(server.url("ftp"));
        settings.timeoutSeconds = 1;
        const auto start = std::chrono::steady_clock::now();
        const std::string log = download(settings, data.path(), false);
        EXPECT_LT(secondsSince(start), 20.0) << mode;
        for (int attempt = 1; attempt <= 4; ++attempt) {
            EXPECT_TRUE(contains(log, "\r\n-->lost connection.. reconnecting in 0 secs.. attempt " +
                                          std::to_string(attempt) + " of 4\r\n"))
                << mode << log;
        }
        EXPECT_TRUE(contains(log,
                             "\r\n-->lost connection.. OR no connection.. \r\n-->Hence could not download the "
                             "file(s).. try manually or verify connection and try again!\r\n"))
            << mode;
        EXPECT_EQ(fs::directory_iterator(data.path()), fs::directory_iterator()) << mode;
    }
}

TEST(Download, AClientThatStopsAnsweringIsEndedWithAMessage) {
    TempDir data;
    TempDir bin;
    const std::string client = bin.write("silent-client", "#!/bin/sh\nexec sleep 60\n");
    ::chmod(client.c_str(), 0755);
    ArchiveSettings settings = loopbackSettings("ftp://127.0.0.1:9");
    settings.client = client;
    settings.timeoutSeconds = 1;
    ArchiveDownloader downloader(settings, "", nullptr);
    RunLog log;
    const auto start = std::chrono::steady_clock::now();
    downloader.download({data.path(), kDayMjd, true}, log);
    EXPECT_LT(secondsSince(start), 12.0);
    EXPECT_TRUE(contains(log.messages, "\r\n-->Error! silent-client stopped answering for 7 secs.. session ended\r\n"))
        << log.messages;
    // The archives count as unreachable for the rest of the run.
    RunLog next;
    downloader.download({data.path(), kDayMjd, false}, next);
    EXPECT_TRUE(contains(next.messages, "could not be reached earlier in this run"));

    // A client that ends after its first line is told apart, without waiting the bound.
    settings.client = bin.write("brief-client", "#!/bin/sh\nread line\nexit 1\n");
    ::chmod(settings.client.c_str(), 0755);
    const auto quick = std::chrono::steady_clock::now();
    const std::string log2 = download(settings, data.path(), true);
    EXPECT_LT(secondsSince(quick), 3.0);
    EXPECT_TRUE(contains(log2, "\r\n-->Error! brief-client ended unexpectedly.. session ended\r\n")) << log2;
}

TEST(Download, AMissingClientOrDataFolderEndsTheDownloadWithItsMessages) {
    TempDir data;
    ArchiveSettings settings = loopbackSettings("ftp://127.0.0.1:9");
    settings.client = "velarix-no-such-client";
    const std::string log = download(settings, data.path(), true);
    EXPECT_TRUE(contains(log,
                         "\r\n-->Error! velarix-no-such-client files not found in the program directory or in "
                         "PATH.. \r\n-->Try download files manually or put velarix-no-such-client files in "
                         "directory and try again!\r\n"))
        << log;
    EXPECT_FALSE(contains(log, "Downloaded"));

    if (!haveLftp()) return;
    RecordingWindow window;
    const std::string missing =
        download(loopbackSettings("ftp://127.0.0.1:9"), data.path() + "no/such/", true, &window);
    ASSERT_EQ(window.boxes.size(), 1u) << missing;
    EXPECT_EQ(window.boxes[0],
              "Here in FTP access: Invalid parent directory on local PC..\r\nYou have to create one.. ");
    EXPECT_FALSE(fs::exists(data.path() + "no"));
}

TEST(Download, FolderAndFileNamesReachTheClientQuoted) {
    // A data folder whose name holds quotes, ';', '$', backquotes and a backslash: the
    // files arrive in it, and no word of the name is run as a command.
    TempDir top;
    if (missingClientChecked(top.path())) return;
    const std::string data = top.path() + "we\"ird; !touch INJECTED $HOME `touch BQ` \\dir/";
    fs::create_directories(data);
    ArchiveTree tree;
    LoopbackServer ftp({"ftp", tree.root.path()});
    ASSERT_TRUE(ftp.ok());
    const std::string log = download(loopbackSettings(ftp.url("ftp")), data, true);
    EXPECT_EQ(readWholeFile(data + "brdc0010.20n"), example("brdc0010.20n")) << log;
    EXPECT_FALSE(fs::exists(top.path() + "INJECTED"));
    EXPECT_FALSE(fs::exists("INJECTED"));
    EXPECT_FALSE(fs::exists("BQ"));
    // A name with a line break cannot be written on a script line: refused, nothing run.
    const std::string broken = download(loopbackSettings(ftp.url("ftp")), top.path() + "a\nopen x/", true);
    EXPECT_TRUE(contains(broken, "holds a line break")) << broken;
}

TEST(Download, DaysSideBySideFetchAMonthOnce) {
    TempDir data;
    if (missingClientChecked(data.path())) return;
    ArchiveTree tree;
    LoopbackServer ftp({"ftp", tree.root.path()});
    ASSERT_TRUE(ftp.ok());
    ArchiveDownloader downloader(loopbackSettings(ftp.url("ftp")), "", nullptr, [] { return 61000.0; });
    RunLog logs[3];
    std::vector<std::thread> days;
    for (int i = 0; i < 3; ++i) {
        days.emplace_back([&, i] { downloader.download({data.path(), kDayMjd + i, false}, logs[i]); });
    }
    for (std::thread& day : days) day.join();
    int fetches = 0;
    for (const RunLog& log : logs) {
        fetches += contains(log.messages, "Downloaded") ? 1 : 0;
        EXPECT_FALSE(contains(log.messages, "Error")) << log.messages;
    }
    EXPECT_EQ(fetches, 1);
    EXPECT_TRUE(fs::exists(data.path() + "P1P22001.DCB"));
}

}  // namespace velarix
