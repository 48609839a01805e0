#include "control/run_timer.h"

#include <gtest/gtest.h>

namespace velarix {

TEST(TimeTexts, EachRangeUsesItsForm) {
    EXPECT_EQ(elapsedText(2'345'678), "2 Sec(s) 345.678 mSec(s)");
    EXPECT_EQ(executionTimeText(2'345'678), "--> Execution time 2 Sec(s) 345.678 mSec(s)");
    EXPECT_EQ(elapsedText(61'500'000), "1 mins 1 Sec");
    EXPECT_EQ(executionTimeText(61'500'000), "--> Execution time 1 min 1 Sec 500.000 mSec");
    EXPECT_EQ(elapsedText((2 * 3600 + 3 * 60) * 1'000'000LL), "2 Hrs 3 mins");
    EXPECT_EQ(remainingText((2 * 3600 + 3 * 60) * 1'000'000LL), "2 Hrs 3 mins");
    const std::int64_t dayAndMore = ((26 * 60 + 5) * 60 + 7) * 1'000'000LL + 8009;
    EXPECT_EQ(elapsedText(dayAndMore), "1 days 2 Hrs 5 mins");
    EXPECT_EQ(remainingText(dayAndMore), "1 day(s) 2 Hrs");
    EXPECT_EQ(executionTimeText(dayAndMore), "--> Execution time 1 day(s) 2 hrs 5 min 7 Sec 8.009 mSec");
}

TEST(RemainingEstimate, FastFirstFileIsEstimatingThenSlowFilesScaleWithTheCountdown) {
    RemainingEstimate estimate;
    EXPECT_EQ(estimate.next(150'000, 10), "estimating...");
    // The short first file's time stays the estimate while files remain quick.
    EXPECT_EQ(estimate.next(250'000, 9), "0 Sec(s) 150.000 mSec(s)");
    // A file of 2 s with 8 to go: 16 s.
    EXPECT_EQ(estimate.next(2'250'000, 8), "16 Sec(s) 0.000 mSec(s)");
}

}  // namespace velarix
