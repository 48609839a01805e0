#pragma once
// Stage 1 of the receiver bias: the bias that makes the vertical TEC of all satellites
// seen in the same 3 minutes agree best. A wrong receiver bias maps differently to
// vertical at different elevations, so it shows as spread between the satellites.
#include <vector>

namespace velarix {

// A 3-minute record above 25 deg elevation of the processed day.
struct SpreadSample {
    double epochMjd = 0.0;
    double slantTec = 0.0;       // TECU, satellite bias removed
    double mappingFactor = 0.0;  // slant to vertical
};

// Sum over consecutive 3-minute windows (from the first value taken) of the sample
// standard deviation of (slantTec + bias) * mappingFactor, for windows holding at least
// 2 values (at most 299 taken); values of |vertical TEC| at or above `limit_TECU` are
// left out. `samples` are in epoch order. `windows` receives the number of windows
// that scored.
double SpreadScore(const std::vector<SpreadSample>& samples, double bias_TECU, double limit_TECU, int& windows);

// The bias of least spread: -500 to 500 TECU in steps of 50, then refined around the best
// with steps of 10, 1 and 0.1 (first candidate wins ties). False when no window of the
// coarse search held two values: the data cannot fix a bias.
bool MinimumSpreadBias(const std::vector<SpreadSample>& samples, double& bias_TECU);

}  // namespace velarix
