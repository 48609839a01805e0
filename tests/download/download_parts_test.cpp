// The pieces of the download: the console session, the client's script lines and
// replies, the URL templates, and what becomes of fetched files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "decompress/expand.h"
#include "download/archive_settings.h"
#include "download/console_session.h"
#include "download/fetched_files.h"
#include "download/lftp_client.h"
#include "loopback.h"
#include "test_support.h"

namespace velarix {

namespace fs = std::filesystem;

TEST(ConsoleSession, StartsWithoutAShellTalksAndStops) {
    CRedir missing;
    EXPECT_EQ(missing.start({"velarix-no-such-program", "x"}), SessionStart::kNoProgram);
    EXPECT_EQ(missing.output(), "Unable to start velarix-no-such-program\n");

    // Arguments reach the program as they are: no shell splits or expands them.
    CRedir echo;
    ASSERT_EQ(echo.start({"/bin/echo", "a;b", "$HOME", "`x`"}), SessionStart::kStarted);
    EXPECT_TRUE(echo.waitFor(
        0, [](std::string_view t) { return t.find('\n') != std::string_view::npos; }, std::chrono::seconds(5)));
    EXPECT_EQ(echo.output(), "a;b $HOME `x`\n");

    CRedir cat;
    ASSERT_EQ(cat.start({"cat"}), SessionStart::kStarted);
    EXPECT_TRUE(cat.writeLine("first line"));
    EXPECT_TRUE(cat.waitFor(
        0, [](std::string_view t) { return t == "first line\n"; }, std::chrono::seconds(5)));
    EXPECT_TRUE(cat.isRunning());
    cat.stop();
    EXPECT_FALSE(cat.isRunning());
    EXPECT_EQ(cat.output(), "first line\n\r\nTermination successful..\r\n");
    EXPECT_FALSE(cat.writeLine("after the end"));

    // A child that has gone: writing fails instead of raising SIGPIPE, and a wait ends
    // at the end of its output, not at the bound.
    CRedir gone;
    ASSERT_EQ(gone.start({"/bin/true"}), SessionStart::kStarted);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(gone.waitFor(
        0, [](std::string_view t) { return !t.empty(); }, std::chrono::seconds(30)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    while (gone.isRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(gone.writeLine("nobody reads this"));

    // A child that ignores its closed input and SIGTERM is still ended.
    CRedir stubborn;
    ASSERT_EQ(stubborn.start({"/bin/sh", "-c", "trap '' TERM; while :; do sleep 1; done"}), SessionStart::kStarted);
    stubborn.stop(std::chrono::milliseconds(100));
    EXPECT_FALSE(stubborn.isRunning());
}

TEST(LftpScript, QuotesNamesAndSortsReplies) {
    std::string quoted;
    ASSERT_TRUE(quoteForClient("/data/we\"ird;$x \\dir/", quoted));
    EXPECT_EQ(quoted, "\"/data/we\\\"ird;$x \\\\dir/\"");
    EXPECT_FALSE(quoteForClient("a\nclose", quoted));
    EXPECT_FALSE(quoteForClient("a\rb", quoted));

    // lftp 4.9's own texts.
    EXPECT_EQ(classifyReply(""), ClientReply::kDone);
    EXPECT_EQ(classifyReply("/tmp/nonexist: No such file or directory\n"), ClientReply::kNoLocalFolder);
    EXPECT_EQ(classifyReply("get: Access failed: 550 No such file or directory. (x.Z)\n"), ClientReply::kNoRemoteFile);
    EXPECT_EQ(classifyReply("get: Access failed: 404 File not found (x.Z)\n"), ClientReply::kNoRemoteFile);
    EXPECT_EQ(classifyReply("cd: Fatal error: max-retries exceeded\n"), ClientReply::kLostSession);
    EXPECT_EQ(classifyReply("cd: Fatal error: max-retries exceeded (Connection refused)\n"), ClientReply::kLostSession);
    EXPECT_EQ(classifyReply("cd: Login failed: 530 Login incorrect.\n"), ClientReply::kLostSession);
    EXPECT_EQ(classifyReply("open: igs.bkg.bund.de: Name or service not known\n"), ClientReply::kLostSession);
    EXPECT_EQ(classifyReply("get: x: file already exists and xfer:clobber is unset\n"), ClientReply::kRefused);
}

TEST(ArchiveSettings, TemplatesAndAddresses) {
    const TemplateDate day{2020, 1, 1};
    EXPECT_EQ(fillTemplate("ftp://h/CODE/{yyyy}/{kind}{yy}{mm}.DCB.Z", day, "", "P1C1"),
              "ftp://h/CODE/2020/P1C12001.DCB.Z");
    EXPECT_EQ(fillTemplate("https://h/{yyyy}/{ddd}/{station}_{yyyy}{ddd}0000_01D_MN.rnx.gz", {2024, 4, 100},
                           "BRDC00WRD_R", ""),
              "https://h/2024/100/BRDC00WRD_R_20241000000_01D_MN.rnx.gz");
    EXPECT_EQ(fillTemplate("ftp://h/{station}", {2008, 12, 366}, "brdc{ddd}0.{yy}n.Z", ""), "ftp://h/brdc3660.08n.Z");

    RemoteFile file;
    ASSERT_TRUE(splitUrl("ftp://127.0.0.1:2121/CODE/2020/P1P22001.DCB.Z", file));
    EXPECT_EQ(file.site, "ftp://127.0.0.1:2121");
    EXPECT_EQ(file.folder, "/CODE/2020/");
    EXPECT_EQ(file.name, "P1P22001.DCB.Z");
    EXPECT_FALSE(splitUrl("file:///etc/passwd", file));
    EXPECT_FALSE(splitUrl("ftp://host", file));
    EXPECT_FALSE(splitUrl("ftp://host/folder/", file));
    EXPECT_FALSE(splitUrl("/CODE/x.Z", file));
}

TEST(FetchedFiles, NothingIsReplacedAndOnlyFetchedArchivesAreExpanded) {
    TempDir data;
    const std::string mine = data.write("brdc0010.20n", "the user's own file");
    const std::string temporary = data.write(".fetched", "fetched");
    EXPECT_FALSE(placeFetchedFile(temporary, mine));
    EXPECT_EQ(readWholeFile(mine), "the user's own file");
    EXPECT_TRUE(fs::exists(temporary));
    ASSERT_TRUE(placeFetchedFile(temporary, data.path() + "abcd0010.20n"));
    EXPECT_FALSE(fs::exists(temporary));

    // A fetched archive that expands is removed; a broken one stays with the decoder's
    // code; the user's archives, though of the same day, are not looked at.
    writeGzip(data.path() + "good0010.20n.gz", "navigation text\n");
    data.write("bad0010.20n.Z", "not compress data");
    writeGzip(data.path() + "user0010.20n.gz", "the user's archive\n");
    RunLog log;
    expandFetchedArchives(
        {data.path() + "good0010.20n.gz", data.path() + "bad0010.20n.Z", data.path() + "abcd0010.20n"}, data.path(),
        log);
    EXPECT_TRUE(contains(log.messages, "\r\nNo. of files found in Directory are 2\r\n")) << log.messages;
    EXPECT_EQ(readWholeFile(data.path() + "good0010.20n"), "navigation text\n");
    EXPECT_FALSE(fs::exists(data.path() + "good0010.20n.gz"));
    EXPECT_TRUE(
        contains(log.messages, "\r\nDecompressing... " + data.path() + "bad0010.20n.Z ...Decompress error# -2\r\n"));
    EXPECT_TRUE(fs::exists(data.path() + "bad0010.20n.Z"));
    EXPECT_TRUE(fs::exists(data.path() + "user0010.20n.gz"));
    EXPECT_FALSE(fs::exists(data.path() + "user0010.20n"));

    // An archive whose plain name is taken is not expanded over it.
    writeGzip(data.path() + "brdc0010.20n.gz", "fetched navigation\n");
    RunLog again;
    expandFetchedArchives({data.path() + "brdc0010.20n.gz"}, data.path(), again);
    EXPECT_EQ(readWholeFile(mine), "the user's own file");
    EXPECT_TRUE(contains(again.messages, "Decompress error#")) << again.messages;
}

}  // namespace velarix
