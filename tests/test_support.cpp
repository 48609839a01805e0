#include "test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <fstream>
#include <sstream>

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velarix-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
}

std::string TempDir::write(const std::string& name, const std::string& content) const {
    const std::string full = path() + name;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream(full, std::ios::binary) << content;
    return full;
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string sharedDataDir() {
    const std::string dir = VELARIX_SHARED_DATA;
    return std::filesystem::is_directory(dir) ? dir + "/" : std::string();
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

ToolRun runCommand(const std::string& command) {
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

ToolRun runTools(const std::string& arguments, const std::string& redirection) {
    return runCommand(std::string(VELARIX_TOOLS_BIN) + " " + arguments + " " + redirection);
}
