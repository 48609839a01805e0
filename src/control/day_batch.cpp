#include "control/day_batch.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>

namespace velarix {

namespace {

// How often a waiting worker or the calling thread looks at `stop` again.
constexpr auto kStopPoll = std::chrono::milliseconds(50);

class DayBatch {
public:
    DayBatch(const DayBatchPlan& plan, const RunBatchDay& runDay)
        : plan_(plan), runDay_(runDay), lookahead_(std::max<std::size_t>(plan.lookahead, plan.threads)) {}

    std::size_t run(const TakeBatchDay& takeDay, const BatchDaysFinished& finished);

private:
    void work();
    bool stopping() const { return plan_.stop && plan_.stop(); }
    const std::string& keyOf(std::size_t index) const {
        static const std::string kNone;
        return index < plan_.keys.size() ? plan_.keys[index] : kNone;
    }
    // Whether the next day may start now: within the look-ahead, and no earlier day of
    // its key still in work.
    bool nextMayStart() const {
        if (next_ >= plan_.count || next_ >= handedBack_ + lookahead_) return false;
        const std::string& key = keyOf(next_);
        return key.empty() || busyKeys_.find(key) == busyKeys_.end();
    }

    const DayBatchPlan& plan_;
    const RunBatchDay& runDay_;
    const std::size_t lookahead_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;        // the next day to start
    std::size_t handedBack_ = 0;  // days handed back to the calling thread
    std::size_t finished_ = 0;
    int workersLeft_ = 0;
    std::map<std::string, int> busyKeys_;
    std::map<std::size_t, DayOutcome> done_;  // finished, not yet handed back
};

void DayBatch::work() {
    DayJob job;  // reused from day to day, as one thread reuses its tables
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        while (!stopping() && next_ < plan_.count && !nextMayStart()) changed_.wait_for(lock, kStopPoll);
        if (stopping() || next_ >= plan_.count) break;
        const std::size_t index = next_++;
        const std::string key = keyOf(index);
        if (!key.empty()) ++busyKeys_[key];
        lock.unlock();

        DayOutcome outcome;
        try {
            outcome.failed = !runDay_(index, job, outcome.log);
        } catch (const std::exception& error) {
            // One day's fault must not end the run: the day is reported as failed.
            outcome.log.append(std::string("\r\nError! the day stopped on an internal error: ") + error.what() +
                               "\r\n");
            outcome.failed = true;
        }
        outcome.context = job.context;

        lock.lock();
        if (!key.empty() && --busyKeys_[key] == 0) busyKeys_.erase(key);
        done_.emplace(index, std::move(outcome));
        ++finished_;
        changed_.notify_all();
    }
    --workersLeft_;
    changed_.notify_all();
}

std::size_t DayBatch::run(const TakeBatchDay& takeDay, const BatchDaysFinished& finished) {
    const int workers = static_cast<int>(std::min<std::size_t>(std::max(plan_.threads, 1), plan_.count));
    workersLeft_ = workers;
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(workers));
    for (int i = 0; i < workers; ++i) threads.emplace_back(&DayBatch::work, this);

    std::size_t reported = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (finished_ != reported) {
            reported = finished_;
            lock.unlock();
            if (finished) finished(reported);
            lock.lock();
        }
        auto ready = done_.find(handedBack_);
        if (ready != done_.end()) {
            DayOutcome outcome = std::move(ready->second);
            done_.erase(ready);
            const std::size_t index = handedBack_;
            lock.unlock();
            takeDay(index, outcome);
            lock.lock();
            ++handedBack_;
            changed_.notify_all();  // the look-ahead moved on
            continue;
        }
        if (workersLeft_ == 0) break;
        changed_.wait_for(lock, kStopPoll);
    }
    lock.unlock();
    for (std::thread& thread : threads) thread.join();
    return handedBack_;
}

}  // namespace

std::size_t RunDaysInOrder(const DayBatchPlan& plan, const RunBatchDay& runDay, const TakeBatchDay& takeDay,
                           const BatchDaysFinished& finished) {
    if (plan.count == 0) return 0;
    return DayBatch(plan, runDay).run(takeDay, finished);
}

}  // namespace velarix
