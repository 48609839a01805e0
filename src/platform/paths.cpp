#include "platform/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string programDirectory() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return "./";
    std::string dir = exe.parent_path().string();
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

std::vector<std::string> dataDirectories(const std::string& programDir) {
    std::vector<std::string> dirs{programDir};
    const fs::path share = fs::path(programDir).parent_path().parent_path() / "share" / "velarix";
    dirs.push_back(share.string() + "/");
    return dirs;
}

std::string findDataFile(const std::string& programDir, const std::string& fileName) {
    for (const std::string& dir : dataDirectories(programDir)) {
        if (fileExists(dir + fileName)) return dir + fileName;
    }
    return {};
}

bool isDirectoryWritable(const std::string& directory) {
    return !directory.empty() && access(directory.c_str(), W_OK | X_OK) == 0;
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string writableProgramDirectory(const std::string& programDir) {
    if (isDirectoryWritable(programDir)) return programDir;
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.config";
    } else {
        base = "/tmp";
    }
    const std::string dir = base + "/velarix/";
    std::error_code error;
    fs::create_directories(dir, error);
    return dir;
}
