#pragma once
// The robust daily TEC curve ("2-sigma"): values binned by hour of day, each bin trimmed
// twice at one standard deviation and averaged, then smoothed with its neighbours. It is
// the reference the interchannel biases are measured against, it fixes the stage-2
// receiver bias, and its text is the ".Std" product.
#include <string>
#include <vector>

struct TwoSigmaPoint {
    double hour = 0.0;    // bin centre, hours of day (UT)
    double tec = 0.0;     // TECU, 1/4 previous + 1/2 own + 1/4 next bin average
    double spread = 0.0;  // TECU, standard deviation of the bin's values kept by the first trim
};

struct TwoSigmaCurve {
    double binWidth_h = 0.1;
    std::vector<TwoSigmaPoint> points;  // one per bin holding values, in hour order

    // The point of the bin that holds `hour`, or nullptr when that bin was empty.
    const TwoSigmaPoint* pointAt(double hour) const;
};

enum TwoSigmaBinMode { kTenthHourBins = 0, kMinuteBins = 1 };

constexpr int kTwoSigmaBinCapacity = 3998;
constexpr int kTwoSigmaBinOverflow = -1;

// Bins `values` (TECU) by `hours` (hours of day; values outside [0, 24) are left out) into
// 0.1 h bins, or 1/60 h bins in the minute mode. Fills `curve` and writes `stdText`, one
// line per bin of the day: hour (bin centre), curve value, the bin's own trimmed average
// and its spread ("%2.3f \t%2.2f \t%2.2f \t%2.2f\n"), or "%2.3f \t- \t- \t%2.2f\n" with a
// spread of 0 for an empty bin. Returns the number of curve points, or
// kTwoSigmaBinOverflow when a bin holds more than kTwoSigmaBinCapacity values (curve and
// text are then left as they were).
int TwoSigmaItr(const std::vector<double>& hours, const std::vector<double>& values, TwoSigmaBinMode mode,
                TwoSigmaCurve& curve, std::string& stdText);
