#include "platform/safe_output.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "test_support.h"

namespace velarix {

namespace fs = std::filesystem;

namespace {

std::string filesIn(const std::string& dir) { return runCommand("LC_ALL=C ls -A '" + dir + "'").output; }

mode_t modeOf(const std::string& path) {
    struct stat status {};
    lstat(path.c_str(), &status);
    return status.st_mode;
}

}  // namespace

TEST(AtomicOutput, TheFinalNameGetsOnlyCompleteFilesAndKeepsItsPermissions) {
    TempDir dir;
    const mode_t oldMask = umask(027);
    const std::string path = dir.write("out.txt", "old content\n");
    chmod(path.c_str(), 0604);
    {
        AtomicOutput out;
        ASSERT_EQ(out.open(path, ReplacePolicy::kReplaceRegularFile), OutputStatus::kOk);
        EXPECT_TRUE(out.write("new "));
        std::fputs("content\n", out.stream());
        // Until the commit the old file is whole and the text sits in a hidden temporary.
        EXPECT_EQ(readWholeFile(path), "old content\n");
        EXPECT_EQ(fs::path(out.temporaryPath()).parent_path(), fs::path(path).parent_path());
        EXPECT_TRUE(fs::path(out.temporaryPath()).filename().string().starts_with(".out.txt.part-"));
        ASSERT_EQ(out.commit(), OutputStatus::kOk);
    }
    EXPECT_EQ(readWholeFile(path), "new content\n");
    EXPECT_EQ(modeOf(path) & 07777, 0604u);
    EXPECT_EQ(filesIn(dir.path()), "out.txt\n");

    // A new file gets 0666 less the umask, not the 0600 of a temporary file.
    ASSERT_EQ(writeFileAtomically(dir.path() + "new.txt", "x", ReplacePolicy::kNeverReplace), OutputStatus::kOk);
    EXPECT_EQ(modeOf(dir.path() + "new.txt") & 07777, 0640u);
    umask(oldMask);

    // Not committed: the temporary goes, the final file stays as it was.
    {
        AtomicOutput out;
        ASSERT_EQ(out.open(path, ReplacePolicy::kReplaceRegularFile), OutputStatus::kOk);
        out.write("half a fi");
    }
    EXPECT_EQ(readWholeFile(path), "new content\n");
    EXPECT_EQ(filesIn(dir.path()), "new.txt\nout.txt\n");
}

TEST(AtomicOutput, RefusesWhatIsNotARegularFileAndNeverReplacesUnderThatPolicy) {
    TempDir dir;
    const std::string target = dir.write("target.txt", "target\n");
    fs::create_directory(dir.path() + "folder");
    ASSERT_EQ(mkfifo((dir.path() + "fifo").c_str(), 0600), 0);
    fs::create_symlink(target, dir.path() + "link");
    for (const std::string& path : {dir.path() + "folder", dir.path() + "fifo", dir.path() + "link",
                                    std::string("/dev/null")}) {
        AtomicOutput out;
        EXPECT_EQ(out.open(path, ReplacePolicy::kReplaceRegularFile), OutputStatus::kNotRegularFile) << path;
        EXPECT_EQ(writeFileAtomically(path, "x", ReplacePolicy::kReplaceRegularFile), OutputStatus::kNotRegularFile);
    }
    EXPECT_TRUE(fs::is_fifo(dir.path() + "fifo") && fs::is_symlink(dir.path() + "link"));
    EXPECT_EQ(readWholeFile(target), "target\n");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(writeFileAtomically(target, "x", ReplacePolicy::kNeverReplace), OutputStatus::kExists);
    EXPECT_EQ(writeFileAtomically(dir.path() + "no/such/folder/x", "x", ReplacePolicy::kNeverReplace),
              OutputStatus::kCannotCreate);

    // A file that appears while the output is written is not replaced either.
    AtomicOutput out;
    ASSERT_EQ(out.open(dir.path() + "late.txt", ReplacePolicy::kNeverReplace), OutputStatus::kOk);
    out.write("mine\n");
    dir.write("late.txt", "someone else's\n");
    EXPECT_EQ(out.commit(), OutputStatus::kExists);
    EXPECT_EQ(readWholeFile(dir.path() + "late.txt"), "someone else's\n");
    EXPECT_EQ(filesIn(dir.path()), "fifo\nfolder\nlate.txt\nlink\ntarget.txt\n");
    EXPECT_STREQ(outputStatusText(OutputStatus::kNotRegularFile), "not a regular file");
}

TEST(AtomicOutput, AFailedWriteIsReportedAndLeavesTheFinalFile) {
    TempDir dir;
    const std::string path = dir.write("out.txt", "old\n");
    // A file size limit makes the writes fail with EFBIG, as a full disk would.
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const OutputStatus status =
        writeFileAtomically(path, std::string(100000, 'x'), ReplacePolicy::kReplaceRegularFile);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(status, OutputStatus::kWriteFailed);
    EXPECT_EQ(readWholeFile(path), "old\n");
    EXPECT_EQ(filesIn(dir.path()), "out.txt\n");
}

TEST(CleanupRegistry, RemovesLiveTemporaryAndScratchFilesOnly) {
    TempDir dir;
    const char* savedTmp = std::getenv("TMPDIR");
    const std::string oldTmp = savedTmp != nullptr ? savedTmp : "";
    setenv("TMPDIR", (dir.path() + "/").c_str(), 1);
    const std::string committed = dir.path() + "done.txt";
    ASSERT_EQ(writeFileAtomically(committed, "kept\n", ReplacePolicy::kNeverReplace), OutputStatus::kOk);
    const std::string other = dir.write("other.txt", "not ours\n");
    {
        AtomicOutput out;
        ScratchFile beside, scratch;
        ASSERT_EQ(out.open(dir.path() + "out.txt", ReplacePolicy::kNeverReplace), OutputStatus::kOk);
        ASSERT_EQ(beside.createBeside(dir.path() + "out.txt"), OutputStatus::kOk);
        ASSERT_EQ(scratch.createInTemporaryDirectory("data/abcd0010.20o"), OutputStatus::kOk);
        EXPECT_EQ(fs::path(scratch.path()).parent_path(), fs::path(dir.path()).parent_path());
        EXPECT_TRUE(scratch.path().ends_with("-abcd0010.20o")) << scratch.path();
        EXPECT_EQ(modeOf(scratch.path()) & 077, 0u);  // private until it is filled
        EXPECT_TRUE(fs::exists(out.temporaryPath()) && fs::exists(beside.path()));

        removeTemporaryFilesNow();
        EXPECT_FALSE(fs::exists(out.temporaryPath()) || fs::exists(beside.path()) || fs::exists(scratch.path()));
        EXPECT_NE(out.commit(), OutputStatus::kOk);
    }
    EXPECT_EQ(readWholeFile(committed), "kept\n");
    EXPECT_EQ(readWholeFile(other), "not ours\n");
    EXPECT_EQ(filesIn(dir.path()), "done.txt\nother.txt\n");

    // Released slots are used again: after many more files than slots have come and
    // gone, a new one is still registered.
    for (int i = 0; i < 300; ++i) {
        ScratchFile scratch;
        ASSERT_EQ(scratch.createBeside(dir.path() + "x"), OutputStatus::kOk) << i;
    }
    ScratchFile last;
    ASSERT_EQ(last.createBeside(dir.path() + "x"), OutputStatus::kOk);
    removeTemporaryFilesNow();
    EXPECT_FALSE(fs::exists(last.path()));
    if (savedTmp != nullptr) {
        setenv("TMPDIR", oldTmp.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    EXPECT_EQ(filesIn(dir.path()), "done.txt\nother.txt\n");
}

}  // namespace velarix
