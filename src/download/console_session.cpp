#include "download/console_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace velarix {

namespace {

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

CRedirect::~CRedirect() { halt(std::chrono::milliseconds(0)); }

SessionStart CRedirect::start(const std::vector<std::string>& argv) {
    if (argv.empty() || pid_ > 0) return SessionStart::kNotStarted;
    const std::string& program = argv.front();
    // The child's input is a socket so that writing to a child that has gone away fails
    // with EPIPE instead of raising SIGPIPE in this process.
    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0 || ::pipe2(output, O_CLOEXEC) != 0) {
        for (int fd : {input[0], input[1], output[0], output[1]}) closeFd(fd);
        onStatus("Unable to start " + program + "\n");
        return SessionStart::kNotStarted;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDERR_FILENO);
    // The child starts with no blocked signals and default actions, whatever the calling
    // thread has set up.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int s : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int error = ::posix_spawnp(&pid, program.c_str(), &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(input[1]);
    ::close(output[1]);
    if (error != 0) {
        ::close(input[0]);
        ::close(output[0]);
        onStatus("Unable to start " + program + "\n");
        return error == ENOENT || error == EACCES || error == ENOEXEC ? SessionStart::kNoProgram
                                                                      : SessionStart::kNotStarted;
    }
    pid_ = pid;
    inputFd_ = input[0];
    outputFd_ = output[0];
    stopReader_ = false;
    outputEnded_ = false;
    reader_ = std::thread(&CRedirect::readLoop, this);
    return SessionStart::kStarted;
}

void CRedirect::readLoop() {
    char buffer[4096];
    while (!stopReader_) {
        pollfd p{outputFd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, 50);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        const ssize_t n = ::read(outputFd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the child and everything it started closed the pipe
        onOutput(std::string_view(buffer, static_cast<size_t>(n)));
    }
    outputEnded_ = true;
    onOutputEnd();
}

bool CRedirect::writeLine(std::string_view line) {
    if (inputFd_ < 0) return false;
    std::string text(line);
    text += '\n';
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::send(inputFd_, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool CRedirect::reap(std::chrono::milliseconds wait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_ || (r < 0 && errno == ECHILD)) {
            exitStatus_ = status;
            pid_ = -1;
            return true;
        }
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool CRedirect::isRunning() { return pid_ > 0 && !reap(std::chrono::milliseconds(0)); }

void CRedirect::stop(std::chrono::milliseconds grace) {
    if (halt(grace)) onStatus("\r\nTermination successful..\r\n");
}

bool CRedirect::halt(std::chrono::milliseconds grace) {
    const bool hadChild = pid_ > 0;
    closeFd(inputFd_);
    if (pid_ > 0 && !reap(grace)) {
        ::kill(pid_, SIGTERM);
        if (!reap(std::chrono::milliseconds(1000))) {
            ::kill(pid_, SIGKILL);
            reap(std::chrono::milliseconds(5000));
        }
    }
    // The reader sees the pipe's end, or is told to stop when a grandchild still holds it.
    if (reader_.joinable()) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (std::chrono::steady_clock::now() < until) {
            pollfd p{outputFd_, POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0 || (p.revents & POLLHUP) != 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        stopReader_ = true;
        reader_.join();
    }
    closeFd(outputFd_);
    return hadChild;
}

std::string CRedir::output() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return output_;
}

std::size_t CRedir::outputSize() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return output_.size();
}

void CRedir::onOutput(std::string_view text) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        output_.append(text);
    }
    arrived_.notify_all();
}

void CRedir::onStatus(std::string_view text) { onOutput(text); }

void CRedir::onOutputEnd() {
    // Taking the lock orders the flag before a waiter's next look at it.
    { std::lock_guard<std::mutex> lock(mutex_); }
    arrived_.notify_all();
}

bool CRedir::waitFor(std::size_t from, const std::function<bool(std::string_view)>& done,
                     std::chrono::milliseconds bound, const std::function<bool()>& progress) {
    std::unique_lock<std::mutex> lock(mutex_);
    std::size_t seen = output_.size();
    auto lastSign = std::chrono::steady_clock::now();
    for (;;) {
        if (from <= output_.size() && done(std::string_view(output_).substr(from))) return true;
        const auto now = std::chrono::steady_clock::now();
        if (output_.size() != seen) {
            seen = output_.size();
            lastSign = now;
        }
        if (now - lastSign >= bound || outputEnded()) return false;
        arrived_.wait_for(lock, std::chrono::milliseconds(100));
        if (progress) {
            lock.unlock();
            const bool moved = progress();
            lock.lock();
            if (moved) lastSign = std::chrono::steady_clock::now();
        }
    }
}

}  // namespace velarix
