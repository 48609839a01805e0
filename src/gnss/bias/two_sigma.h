#pragma once
// The robust daily TEC curve ("2-sigma"): values binned by hour of day, each bin trimmed
// twice at one standard deviation and averaged, then smoothed with its neighbours. It is
// the reference the interchannel biases are measured against and it fixes the stage-2
// receiver bias; the products show it bin by bin.
#include <vector>

namespace velarix {

// One bin of the day. An empty bin has a count of 0 and zero values.
struct TwoSigmaBin {
    double hour = 0.0;           // bin centre, hours of day (UT)
    double average_TECU = 0.0;   // the bin's own trimmed average
    double smoothed_TECU = 0.0;  // 1/4 previous + 1/2 own + 1/4 next bin average
    double spread_TECU = 0.0;    // standard deviation of the values kept by the first trim
    int count = 0;               // values binned

    bool operator==(const TwoSigmaBin&) const = default;
};

struct TwoSigmaCurve {
    double binWidth_h = 0.1;
    std::vector<TwoSigmaBin> bins;  // every bin of the day, in hour order; none before a curve is formed

    // The bin that holds `hour`, or nullptr when that bin is empty or outside the day.
    const TwoSigmaBin* pointAt(double hour) const;
    // Bins holding values.
    int filledBins() const;
};

enum TwoSigmaBinMode { kTenthHourBins = 0, kMinuteBins = 1 };

constexpr int kTwoSigmaBinCapacity = 3998;
constexpr int kTwoSigmaBinOverflow = -1;

// Bins `values` (TECU) by `hours` (hours of day; values outside [0, 24) are left out) into
// 0.1 h bins, or 1/60 h bins in the minute mode, and fills `curve` with every bin of the
// day. The first and the last bin holding values keep their own average; an empty
// neighbour counts as the bin itself. Returns the number of bins holding values, or
// kTwoSigmaBinOverflow when a bin holds more than kTwoSigmaBinCapacity values (the curve
// is then left as it was).
[[nodiscard]] int TwoSigmaItr(const std::vector<double>& hours, const std::vector<double>& values, TwoSigmaBinMode mode,
                              TwoSigmaCurve& curve);

}  // namespace velarix
