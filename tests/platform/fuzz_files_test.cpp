// The files of the fuzz targets: a folder per process, and the folders of runs that
// ended without cleaning up (out of memory or time) removed by the next run.
#include "../fuzz/fuzz_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>

#include "test_support.h"

namespace velarix {

namespace {

// The id of a process that has ended.
pid_t endedProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

class TmpDirSetting {
public:
    explicit TmpDirSetting(const std::string& value) {
        if (const char* old = std::getenv("TMPDIR")) old_ = old;
        setenv("TMPDIR", value.c_str(), 1);
    }
    ~TmpDirSetting() {
        if (old_.empty()) {
            unsetenv("TMPDIR");
        } else {
            setenv("TMPDIR", old_.c_str(), 1);
        }
    }

private:
    std::string old_;
};

}  // namespace

TEST(FuzzFiles, AFolderPerProcessAndNoneLeftFromEndedRuns) {
    TempDir tmp;
    const TmpDirSetting setting(tmp.path());
    const auto folder = [&](const std::string& name) { return tmp.path() + "velarix-fuzz-" + name; };
    const std::string ended = "reader-" + std::to_string(endedProcess());
    const std::string running = "reader-" + std::to_string(getppid());
    const std::string otherTarget = "reader_b-" + std::to_string(endedProcess());
    const std::string notAPid = "reader-x1";
    for (const std::string& name : {ended, running, otherTarget, notAPid}) {
        tmp.write("velarix-fuzz-" + name + "/input", "left over");
    }

    std::string input;
    {
        const FuzzFiles files("reader");
        input = files.input();
        EXPECT_EQ(std::filesystem::path(input).parent_path(),
                  std::filesystem::path(folder("reader-" + std::to_string(getpid()))));
        const uint8_t bytes[] = {'a', 0, 'b'};
        ASSERT_TRUE(files.writeInput(bytes, sizeof bytes));
        EXPECT_EQ(readWholeFile(input), std::string("a\0b", 3));
        EXPECT_EQ(std::filesystem::path(files.output()).parent_path(), std::filesystem::path(input).parent_path());

        EXPECT_FALSE(std::filesystem::exists(folder(ended)));
        for (const std::string& kept : {running, otherTarget, notAPid}) {
            EXPECT_TRUE(std::filesystem::exists(folder(kept) + "/input")) << kept;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(input).parent_path()));
}

}  // namespace velarix
