#pragma once
// The days of a batch run side by side: each worker thread has its own DayJob and takes
// the next day in input order into a RunLog of that day's own. The calling thread gets
// every day back in input order, so the run's log is the days' logs one after the other,
// exactly as one thread would have written it.
//
// Days that share a key (the same product files: two session files of one station-day)
// never run at the same time, and a later one starts only once the earlier one has
// finished, so it sees the products the earlier one wrote, as it would in a serial run.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "gnss/day_job.h"
#include "platform/run_log.h"

namespace velarix {

// One day as a worker hands it back.
struct DayOutcome {
    RunLog log;                  // the day's messages and errors (no pane)
    CurrentFileContext context;  // the day's context after its run
    bool failed = false;         // the day gave no products
};

struct DayBatchPlan {
    std::size_t count = 0;          // days, in input order
    int threads = 1;                // workers (at most one per day)
    std::vector<std::string> keys;  // per day: days with equal keys run one after the other
    // How many days may be finished but not yet handed back, which bounds the memory of
    // the logs held; at least the number of workers.
    std::size_t lookahead = 16;
    // Polled between days: true stops the workers from taking new days (a close request
    // or a signal); the days in work finish and are handed back.
    std::function<bool()> stop;
};

// Runs day `index` on a worker with that worker's job; true when the day gave products.
using RunBatchDay = std::function<bool(std::size_t index, DayJob& job, RunLog& log)>;
// Receives day `index` on the calling thread, strictly in input order.
using TakeBatchDay = std::function<void(std::size_t index, DayOutcome& outcome)>;
// Told on the calling thread how many days have finished so far, in any order.
using BatchDaysFinished = std::function<void(std::size_t finished)>;

// Runs the plan; returns the number of days handed back, always a leading part of the
// input (all of it unless `stop` said otherwise).
[[nodiscard]] std::size_t RunDaysInOrder(const DayBatchPlan& plan, const RunBatchDay& runDay,
                                         const TakeBatchDay& takeDay, const BatchDaysFinished& finished);

}  // namespace velarix
