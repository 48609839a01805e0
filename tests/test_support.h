#pragma once
// Helpers shared by the test programs: temporary folders, small files, shell commands.
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace velarix {

// A fresh folder under the system's temporary directory, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending in '/'.
    std::string path() const { return path_.string() + "/"; }
    // Writes `content` to `name` inside the folder and returns the full path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path path_;
};

std::string readWholeFile(const std::string& path);

// Root of the real GNSS data, or "" when it is not on this machine.
std::string sharedDataDir();

bool contains(const std::string& text, const std::string& part);

struct ToolRun {
    int exitCode = -1;
    std::string output;
};
// A shell command line: its exit status and standard output.
ToolRun runCommand(const std::string& command);
// velarix-tools run as a user runs it: `arguments` is the rest of a shell command line,
// `redirection` what becomes of standard error.
ToolRun runTools(const std::string& arguments, const std::string& redirection = "2>&1");

// A program started in the background: standard input and error on /dev/null, standard
// output on a pipe that the test reads (or leaves full, to hold the program in a write).
class BackgroundRun {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;
    explicit BackgroundRun(const std::vector<std::string>& argv, const Environment& environment = {});
    ~BackgroundRun();
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    // Reads standard output until `text` has been seen; false at its end.
    bool readUntil(const std::string& text);
    // Reads standard output to its end.
    void readToEnd();
    void signal(int number) const;
    // Waits for the end. Exit status, or 128 + the signal that ended the program, with
    // `bySignal` telling which.
    int wait(bool* bySignal = nullptr);
    bool running();
    const std::string& output() const { return output_; }

private:
    pid_t pid_ = -1;  // -1 once the program has been waited for
    int status_ = 0;
    int fd_ = -1;
    std::string output_;
};

}  // namespace velarix
