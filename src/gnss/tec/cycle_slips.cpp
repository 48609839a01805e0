#include "gnss/tec/cycle_slips.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <compare>
#include <cstddef>
#include <utility>

namespace velarix {

namespace {

constexpr std::size_t kMinValues = 30;
constexpr std::size_t kRingSlots = 20;

// First threshold, from the mean change over the first 20 steps.
double startingThreshold(const std::vector<double>& x) {
    const double m = std::fabs(x[20] - x[0]) / 20.0;
    if (m > 2.5) return 2.5;
    if (m > 1.5) return 2.1;
    if (m > 1.0) return m + 1.0;
    if (m > 0.5) return m + 1.3;
    return m + 1.1;
}

// 1.2 times the mean of the recent steps within the fences Q1 - 1.5 IQR and Q3 + 3 IQR
// (the mean held to 0.5 .. 1.5).
double renewedThreshold(const std::array<double, kRingSlots>& ring) {
    std::array<double, kRingSlots> w = ring;
    // A total order, so that no value can upset the sort.
    std::sort(w.begin(), w.end(), [](double a, double b) { return std::is_lt(std::strong_order(a, b)); });
    const double q1 = (w[4] + w[5]) / 2.0;
    const double q3 = (w[14] + w[15]) / 2.0;
    const double iqr = q3 - q1;
    double sum = 0.0;
    int count = 0;
    for (double y : ring) {
        if (y >= q1 - 1.5 * iqr && y <= q3 + 3.0 * iqr) {
            sum += y;
            ++count;
        }
    }
    const double mean = count > 0 ? sum / count : 0.0;
    return 1.2 * std::clamp(mean, 0.5, 1.5);
}

}  // namespace

int CorrectCycleSlips(std::vector<double>& series) {
    std::vector<double>& x = series;
    if (x.size() < kMinValues) return kTooFewForSlips;
    double threshold = startingThreshold(x);
    std::array<double, kRingSlots> ring{};
    std::vector<std::pair<std::size_t, double>> slips;  // position, jump
    for (std::size_t i = 0; i + 1 < x.size(); ++i) {
        const double d = x[i] - x[i + 1];
        ring[i % kRingSlots] = d;
        if (i > kRingSlots && i % 10 == 0) threshold = renewedThreshold(ring);
        if (d > threshold || d < -threshold) {
            if (slips.size() == kMaxSlips) return kTooManySlips;
            slips.emplace_back(i + 1, d);
        }
    }
    double offset = 0.0;
    std::size_t next = 0;
    for (std::size_t k = 0; k < x.size(); ++k) {
        if (next < slips.size() && slips[next].first == k) offset += slips[next++].second;
        x[k] += offset;
    }
    return static_cast<int>(slips.size());
}

}  // namespace velarix
