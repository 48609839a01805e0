#include "control/day_batch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace velarix {

namespace {

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

TEST(DayBatch, DaysRunSideBySideAndComeBackInInputOrder) {
    DayBatchPlan plan;
    plan.count = 24;
    plan.threads = 3;
    plan.lookahead = 4;
    std::atomic<int> running{0}, mostRunning{0};
    std::mutex mutex;
    std::set<const DayJob*> jobs;
    const RunBatchDay runDay = [&](std::size_t i, DayJob& job, RunLog& log) {
        const int now = ++running;
        for (int seen = mostRunning.load(); now > seen && !mostRunning.compare_exchange_weak(seen, now);) {
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            jobs.insert(&job);
        }
        job.context.inputPath = "day" + std::to_string(i);
        sleepMs(static_cast<int>((i * 7) % 5));  // days finish out of order
        log.append("\r\nday " + std::to_string(i));
        if (i % 5 == 3) log.appendError("bad " + std::to_string(i) + "\r\n");
        --running;
        return i % 5 != 3;
    };
    std::vector<std::size_t> order;
    std::string merged, errors;
    int failed = 0;
    const TakeBatchDay takeDay = [&](std::size_t i, DayOutcome& day) {
        order.push_back(i);
        EXPECT_EQ(day.context.inputPath, "day" + std::to_string(i));  // the context of that day's own run
        merged += day.log.messages;
        errors += day.log.errors;
        failed += day.failed ? 1 : 0;
    };
    std::vector<std::size_t> finished;
    const std::size_t handed = RunDaysInOrder(plan, runDay, takeDay, [&](std::size_t n) { finished.push_back(n); });

    ASSERT_EQ(handed, 24u);
    std::string expected, expectedErrors;
    for (std::size_t i = 0; i < 24; ++i) {
        EXPECT_EQ(order[i], i);
        expected += "\r\nday " + std::to_string(i);
        if (i % 5 == 3) expectedErrors += "bad " + std::to_string(i) + "\r\n";
    }
    EXPECT_EQ(merged, expected);
    EXPECT_EQ(errors, expectedErrors);
    EXPECT_EQ(failed, 5);
    EXPECT_EQ(mostRunning.load(), 3);  // never more than the workers, and all of them used
    EXPECT_EQ(jobs.size(), 3u);        // one job per worker, reused
    ASSERT_FALSE(finished.empty());
    EXPECT_EQ(finished.back(), 24u);
    for (std::size_t i = 1; i < finished.size(); ++i) EXPECT_GT(finished[i], finished[i - 1]);
}

TEST(DayBatch, DaysOfOneKeyRunOneAfterTheOther) {
    // Days 0, 2 and 3 write the same products: never at the same time, and in order.
    DayBatchPlan plan;
    plan.count = 6;
    plan.threads = 4;
    plan.keys = {"a.Cmn", "b.Cmn", "a.Cmn", "a.Cmn", "", ""};
    std::mutex mutex;
    std::vector<std::string> events;
    const RunBatchDay runDay = [&](std::size_t i, DayJob&, RunLog&) {
        const bool keyed = plan.keys[i] == "a.Cmn";
        if (keyed) {
            std::lock_guard<std::mutex> lock(mutex);
            events.push_back("start " + std::to_string(i));
        }
        sleepMs(keyed ? 20 : 1);
        if (keyed) {
            std::lock_guard<std::mutex> lock(mutex);
            events.push_back("end " + std::to_string(i));
        }
        return true;
    };
    EXPECT_EQ(RunDaysInOrder(plan, runDay, [](std::size_t, DayOutcome&) {}, {}), 6u);
    EXPECT_EQ(events, (std::vector<std::string>{"start 0", "end 0", "start 2", "end 2", "start 3", "end 3"}));
}

TEST(DayBatch, AStopLetsTheDaysInWorkFinishAndHandsBackALeadingPart) {
    DayBatchPlan plan;
    plan.count = 40;
    plan.threads = 2;
    std::atomic<bool> stop{false};
    plan.stop = [&] { return stop.load(); };
    std::atomic<int> ran{0};
    const RunBatchDay runDay = [&](std::size_t i, DayJob&, RunLog& log) {
        if (i == 5) stop = true;  // a signal arrives while day 5 is in work
        sleepMs(5);
        ++ran;
        if (i == 7) throw std::runtime_error("table full");
        log.append("done");
        return true;
    };
    std::vector<std::size_t> order;
    std::vector<bool> failed;
    const std::size_t handed = RunDaysInOrder(
        plan, runDay,
        [&](std::size_t i, DayOutcome& day) {
            order.push_back(i);
            failed.push_back(day.failed);
            if (i == 7) {
                EXPECT_NE(day.log.messages.find("internal error: table full"), std::string::npos);
            }
        },
        {});
    EXPECT_EQ(handed, static_cast<std::size_t>(ran.load()));  // every day started was finished and handed back
    EXPECT_GE(handed, 6u);
    EXPECT_LE(handed, 8u);  // days 6 and 7 may have been taken already, no later one
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], i);
    // A day that throws is a failed day; the others go on.
    for (std::size_t i = 0; i < failed.size(); ++i) EXPECT_EQ(failed[i], i == 7);

    // Nothing to do: no thread is started, nothing is handed back.
    plan.count = 0;
    EXPECT_EQ(RunDaysInOrder(plan, runDay, [](std::size_t, DayOutcome&) { FAIL(); }, {}), 0u);
}

}  // namespace velarix
