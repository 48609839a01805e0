#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace velarix {

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

namespace {

// A folder of this user's alone (`dir` ends in '/'): created 0700 when missing; refused ("") when it exists as
// anything else (a symbolic link, another user's folder, one others may enter), since
// other users could then read or replace what is written there.
std::string privateDirectory(const std::string& dir) {
    // Without the trailing '/', which would make lstat follow a symbolic link.
    const std::string name = dir.substr(0, dir.size() - 1);
    if (mkdir(name.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat status {};
    if (lstat(name.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != geteuid() ||
        (status.st_mode & 077) != 0) {
        return {};
    }
    return dir;
}

// A folder named by the environment, without trailing '/'.
std::string environment(const char* name) {
    const char* value = std::getenv(name);
    std::string folder = value != nullptr ? value : "";
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace

std::string userProgramDirectory() {
    std::string base;
    if (const std::string xdg = environment("XDG_CONFIG_HOME"); !xdg.empty()) {
        base = xdg;
    } else if (const std::string home = environment("HOME"); !home.empty()) {
        base = home + "/.config";
    } else if (const std::string runtime = environment("XDG_RUNTIME_DIR"); !runtime.empty()) {
        return privateDirectory(runtime + "/velarix/");
    } else {
        return privateDirectory("/tmp/velarix-" + std::to_string(geteuid()) + "/");
    }
    const std::string dir = base + "/velarix/";
    std::error_code error;
    fs::create_directories(dir, error);
    return dir;
}

std::string writableProgramDirectory(const std::string& programDir) {
    return isDirectoryWritable(programDir) ? programDir : userProgramDirectory();
}

}  // namespace velarix
