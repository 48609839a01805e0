#include "test_support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <fstream>
#include <sstream>

namespace velarix {

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

BackgroundRun::BackgroundRun(const std::vector<std::string>& argv, const Environment& environment) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 2);
        dup2(pipeFds[1], 1);
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[1]);
    fd_ = pipeFds[0];
}

BackgroundRun::~BackgroundRun() {
    if (running()) {
        kill(pid_, SIGKILL);
        wait();
    }
    if (fd_ >= 0) close(fd_);
}

bool BackgroundRun::readUntil(const std::string& text) {
    char buffer[4096];
    while (output_.find(text) == std::string::npos) {
        const ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0) return false;
        output_.append(buffer, static_cast<size_t>(got));
    }
    return true;
}

void BackgroundRun::readToEnd() { readUntil(std::string(1, '\0') + "never"); }

void BackgroundRun::signal(int number) const { kill(pid_, number); }

int BackgroundRun::wait(bool* bySignal) {
    if (pid_ > 0 && waitpid(pid_, &status_, 0) == pid_) pid_ = -1;
    if (pid_ != -1) return -1;
    if (bySignal != nullptr) *bySignal = WIFSIGNALED(status_);
    return WIFSIGNALED(status_) ? 128 + WTERMSIG(status_) : WEXITSTATUS(status_);
}

bool BackgroundRun::running() {
    if (pid_ <= 0) return false;
    if (waitpid(pid_, &status_, WNOHANG) != pid_) return true;
    pid_ = -1;
    return false;
}

}  // namespace velarix
