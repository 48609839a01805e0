#pragma once
// Helpers shared by the test programs: temporary folders, small files, shell commands.
#include <filesystem>
#include <string>

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
