#pragma once
// Repair of cycle slips in a satellite's phase TEC series (TECU, time order, the whole
// day across data gaps): a step between neighbours larger than a threshold that follows
// the recent epoch-to-epoch changes is taken as a slip and removed from everything after it.
#include <vector>

namespace velarix {

constexpr int kTooFewForSlips = -1;   // fewer than 30 values
constexpr int kTooManySlips = -3;     // more than 2990 slips found
constexpr int kMaxSlips = 2990;

// Corrects `series` in place and returns the number of slips (0 or more); on
// kTooFewForSlips or kTooManySlips the series is left as it was.
[[nodiscard]] int CorrectCycleSlips(std::vector<double>& series);

}  // namespace velarix
