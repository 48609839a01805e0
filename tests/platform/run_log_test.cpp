#include "platform/run_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/paths.h"
#include "test_support.h"

namespace velarix {

namespace fs = std::filesystem;

TEST(RunLog, AppendsToARegularLogAndNeverFollowsALinkOrOpensAFifo) {
    TempDir dir;
    dir.write("Log_file.txt", "earlier run\r\n");
    RunLog log;
    log.append("this run\r\n");
    log.appendError("\r\nan error");
    ASSERT_TRUE(log.flush(dir.path()));
    EXPECT_EQ(readWholeFile(dir.path() + "Log_file.txt"), "earlier run\r\nthis run\r\n");
    EXPECT_EQ(readWholeFile(dir.path() + "Log_errors.txt"), "\r\nan error");
    EXPECT_TRUE(log.messages.empty() && log.errors.empty());

    // A log name that points elsewhere, or is a FIFO or a folder, cannot be written: the
    // text is kept for the next flush and the failure is reported in it.
    TempDir hostile;
    const std::string target = hostile.write("precious.txt", "precious\n");
    fs::create_symlink(target, hostile.path() + "Log_file.txt");
    fs::create_symlink(target, hostile.path() + "Log_errors.txt");
    TempDir fifo;
    ASSERT_EQ(mkfifo((fifo.path() + "Log_file.txt").c_str(), 0600), 0);
    TempDir folder;
    fs::create_directory(folder.path() + "Log_file.txt");
    for (const std::string& place : {hostile.path(), fifo.path(), folder.path()}) {
        RunLog refused;
        refused.append("text\r\n");
        refused.appendError("\r\nerror");
        EXPECT_FALSE(refused.flush(place)) << place;
        EXPECT_EQ(refused.messages, "text\r\n* Unable to write LOG file... " + place + "Log_file.txt\r\n");
    }
    EXPECT_EQ(readWholeFile(target), "precious\n");
    EXPECT_TRUE(fs::is_symlink(hostile.path() + "Log_errors.txt"));
}

TEST(Paths, WithoutHomeTheProgramsOwnFilesGoToAPrivateFolder) {
    const auto saved = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto restore = [](const char* name, const std::optional<std::string>& value) {
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    };
    const auto home = saved("HOME"), config = saved("XDG_CONFIG_HOME"), runtime = saved("XDG_RUNTIME_DIR");
    TempDir dir;
    unsetenv("HOME");
    unsetenv("XDG_CONFIG_HOME");
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    const std::string folder = dir.path() + "velarix/";
    EXPECT_EQ(userProgramDirectory(), folder);
    struct stat status {};
    ASSERT_EQ(stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_EQ(writableProgramDirectory(dir.path() + "not-a-folder/"), folder);

    // Opened to others, or another user's: not used.
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(userProgramDirectory(), "");
    chmod(folder.c_str(), 0700);
    if (geteuid() == 0 && chown(folder.c_str(), 4242, 4242) == 0) {
        EXPECT_EQ(userProgramDirectory(), "");
    }
    fs::remove(folder);
    fs::create_directory_symlink(dir.path(), folder.substr(0, folder.size() - 1));
    EXPECT_EQ(userProgramDirectory(), "");

    restore("HOME", home);
    restore("XDG_CONFIG_HOME", config);
    restore("XDG_RUNTIME_DIR", runtime);
}

}  // namespace velarix
