#include "gnss/bias/two_sigma.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "gnss/sample_stats.h"
#include "platform/strfmt.h"

namespace {

constexpr double kHoursPerDay = 24.0;

// Values within one standard deviation of the mean (strictly inside or not). A bin whose
// values are all equal has a deviation of 0 and would lose everything: it keeps them all.
std::vector<double> within(const std::vector<double>& v, const MeanSd& m, bool strictly) {
    std::vector<double> kept;
    for (double x : v) {
        const double off = std::fabs(x - m.mean);
        if (strictly ? off < m.sd : off <= m.sd) kept.push_back(x);
    }
    return kept.empty() ? v : kept;
}

struct Bin {
    std::vector<double> values;
    double average = 0.0;
    double spread = 0.0;
};

void trim(Bin& bin) {
    const std::vector<double> kept = within(bin.values, SampleMeanSd(bin.values), true);
    const MeanSd second = SampleMeanSd(kept);
    bin.average = SampleMeanSd(within(kept, second, false)).mean;
    bin.spread = second.sd;
}

}  // namespace

const TwoSigmaPoint* TwoSigmaCurve::pointAt(double hour) const {
    const double half = 0.5 * binWidth_h;
    const auto after = std::upper_bound(points.begin(), points.end(), hour,
                                        [half](double h, const TwoSigmaPoint& p) { return h < p.hour + half; });
    if (after == points.end() || hour < after->hour - half) return nullptr;
    return &*after;
}

int TwoSigmaItr(const std::vector<double>& hours, const std::vector<double>& values, TwoSigmaBinMode mode,
                TwoSigmaCurve& curve, std::string& stdText) {
    const double width_h = mode == kMinuteBins ? 1.0 / 60.0 : 0.1;
    const std::size_t binCount = static_cast<std::size_t>(std::lround(kHoursPerDay / width_h));
    std::vector<Bin> bins(binCount);
    for (std::size_t k = 0; k < hours.size() && k < values.size(); ++k) {
        if (!(hours[k] >= 0.0 && hours[k] < kHoursPerDay)) continue;
        const std::size_t b = std::min(binCount - 1, static_cast<std::size_t>(hours[k] / width_h));
        if (bins[b].values.size() >= static_cast<std::size_t>(kTwoSigmaBinCapacity)) return kTwoSigmaBinOverflow;
        bins[b].values.push_back(values[k]);
    }

    std::vector<std::size_t> filled;
    for (std::size_t b = 0; b < binCount; ++b) {
        if (bins[b].values.empty()) continue;
        trim(bins[b]);
        filled.push_back(b);
    }

    curve.binWidth_h = width_h;
    curve.points.clear();
    std::vector<double> smoothed(binCount, 0.0);
    for (std::size_t i = 0; i < filled.size(); ++i) {
        const std::size_t b = filled[i];
        const double own = bins[b].average;
        double value = own;
        // The first and the last bin keep their own average; an empty neighbour counts as
        // the bin itself.
        if (i != 0 && i + 1 != filled.size()) {
            const double before = bins[b - 1].values.empty() ? own : bins[b - 1].average;
            const double after = bins[b + 1].values.empty() ? own : bins[b + 1].average;
            value = 0.25 * before + 0.5 * own + 0.25 * after;
        }
        smoothed[b] = value;
        curve.points.push_back({(static_cast<double>(b) + 0.5) * width_h, value, bins[b].spread});
    }

    stdText.clear();
    for (std::size_t b = 0; b < binCount; ++b) {
        const double hour = (static_cast<double>(b) + 0.5) * width_h;
        if (bins[b].values.empty()) {
            stdText += strfmt("%2.3f \t- \t- \t%2.2f\n", hour, 0.0);
        } else {
            stdText += strfmt("%2.3f \t%2.2f \t%2.2f \t%2.2f\n", hour, smoothed[b], bins[b].average, bins[b].spread);
        }
    }
    return static_cast<int>(curve.points.size());
}
