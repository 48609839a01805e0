#pragma once
// A console session over a child process: its standard input is fed line by line, its
// standard output and error arrive on one pipe that a reader thread drains. The child is
// started with posix_spawn from an argument vector; no shell sees any of its words.
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace velarix {

enum class SessionStart {
    kStarted,
    kNoProgram,   // the program does not exist or is not executable
    kNotStarted,  // pipes or the process could not be created
};

// Start, write a line, test, stop. Subclasses receive what the child prints.
class CRedirect {
public:
    CRedirect() = default;
    virtual ~CRedirect();
    CRedirect(const CRedirect&) = delete;
    CRedirect& operator=(const CRedirect&) = delete;

    // Starts argv[0] (a path, or a name looked up in PATH) with `argv`. On failure the
    // status text "Unable to start <program>\n" is handed to onStatus.
    [[nodiscard]] SessionStart start(const std::vector<std::string>& argv);
    // Writes `line` and a line feed; false when the child no longer reads.
    bool writeLine(std::string_view line);
    // True while the child has not ended.
    bool isRunning();
    // Closes the child's input and gives it `grace` to end; then SIGTERM, and SIGKILL a
    // second later. The reader thread is joined in every case.
    void stop(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));
    // True once the child's output pipe has closed (the child has ended, as a rule).
    bool outputEnded() const { return outputEnded_; }

protected:
    virtual void onOutput(std::string_view text) = 0;
    virtual void onStatus(std::string_view text) = 0;
    virtual void onOutputEnd() {}

private:
    void readLoop();
    bool reap(std::chrono::milliseconds wait);
    // stop() without the status text; true when there was a child.
    bool halt(std::chrono::milliseconds grace);

    pid_t pid_ = -1;
    int exitStatus_ = 0;
    int inputFd_ = -1;   // our end of the child's standard input (a socket: no SIGPIPE)
    int outputFd_ = -1;  // our end of the child's standard output and error
    std::atomic<bool> stopReader_{false};
    std::atomic<bool> outputEnded_{false};
    std::thread reader_;
};

// The session with buffers: everything the child printed, and a count that grows with
// each piece so that a waiter can tell new output from old.
class CRedir : public CRedirect {
public:
    ~CRedir() override { stop(); }

    // All output so far.
    std::string output() const;
    std::size_t outputSize() const;
    // Waits until `done` holds for the output after `from`, or `bound` has passed since
    // the last output arrived (`progress`, when given, also counts as a sign of life and
    // is called about every 100 ms). True when `done` held.
    bool waitFor(std::size_t from, const std::function<bool(std::string_view)>& done, std::chrono::milliseconds bound,
                 const std::function<bool()>& progress = {});

protected:
    void onOutput(std::string_view text) override;
    void onStatus(std::string_view text) override;
    void onOutputEnd() override;

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::string output_;
};

}  // namespace velarix
