#pragma once
// Stopwatch of a batch run and the texts that show elapsed, remaining and execution time.
#include <chrono>
#include <cstdint>
#include <string>

namespace velarix {

class RunTimer {
public:
    void start() {
        start_ = Clock::now();
        elapsed_us_ = 0.0;
        running_ = true;
    }
    // Takes a new reading; returns the time since start in microseconds.
    double update() {
        elapsed_us_ = std::chrono::duration<double, std::micro>(Clock::now() - start_).count();
        return elapsed_us_;
    }
    void stop() {
        update();
        running_ = false;
    }
    bool running() const { return running_; }
    double elapsed_us() const { return elapsed_us_; }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_{};
    double elapsed_us_ = 0.0;
    bool running_ = false;
};

// A duration in microseconds split into its parts.
struct DurationParts {
    std::int64_t days, hours, minutes, seconds, milliseconds, microseconds;
};
DurationParts splitDuration(std::int64_t micros);

std::string elapsedText(std::int64_t micros);
std::string remainingText(std::int64_t micros);
std::string executionTimeText(std::int64_t micros);

// The remaining-time estimate of a batch: after each file, `next` gives the text to
// show from the elapsed time now and the loop's countdown (the file count plus one at
// the first file, falling by one per file).
class RemainingEstimate {
public:
    void reset() {
        lastElapsed_us_ = 0;
        estimate_us_ = 0;
    }
    std::string next(std::int64_t elapsedNow_us, std::int64_t countdown);

private:
    std::int64_t lastElapsed_us_ = 0;
    std::int64_t estimate_us_ = 0;
};

}  // namespace velarix
