#include "gnss/bias/two_sigma.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "gnss/sample_stats.h"

namespace velarix {

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

void trim(const std::vector<double>& values, TwoSigmaBin& bin) {
    const std::vector<double> kept = within(values, SampleMeanSd(values), true);
    const MeanSd second = SampleMeanSd(kept);
    bin.average_TECU = SampleMeanSd(within(kept, second, false)).mean;
    bin.spread_TECU = second.sd;
}

}  // namespace

const TwoSigmaBin* TwoSigmaCurve::pointAt(double hour) const {
    const double index = std::floor(hour / binWidth_h);
    if (!(index >= 0.0 && index < static_cast<double>(bins.size()))) return nullptr;
    const TwoSigmaBin& bin = bins[static_cast<std::size_t>(index)];
    return bin.count > 0 ? &bin : nullptr;
}

int TwoSigmaCurve::filledBins() const {
    return static_cast<int>(std::count_if(bins.begin(), bins.end(), [](const TwoSigmaBin& b) { return b.count > 0; }));
}

int TwoSigmaItr(const std::vector<double>& hours, const std::vector<double>& values, TwoSigmaBinMode mode,
                TwoSigmaCurve& curve) {
    const double width_h = mode == kMinuteBins ? 1.0 / 60.0 : 0.1;
    const std::size_t binCount = static_cast<std::size_t>(std::lround(kHoursPerDay / width_h));
    std::vector<std::vector<double>> binned(binCount);
    for (std::size_t k = 0; k < hours.size() && k < values.size(); ++k) {
        if (!(hours[k] >= 0.0 && hours[k] < kHoursPerDay)) continue;
        const std::size_t b = std::min(binCount - 1, static_cast<std::size_t>(hours[k] / width_h));
        if (binned[b].size() >= static_cast<std::size_t>(kTwoSigmaBinCapacity)) return kTwoSigmaBinOverflow;
        binned[b].push_back(values[k]);
    }

    std::vector<TwoSigmaBin> bins(binCount);
    std::vector<std::size_t> filled;
    for (std::size_t b = 0; b < binCount; ++b) {
        bins[b].hour = (static_cast<double>(b) + 0.5) * width_h;
        bins[b].count = static_cast<int>(binned[b].size());
        if (binned[b].empty()) continue;
        trim(binned[b], bins[b]);
        filled.push_back(b);
    }
    for (std::size_t i = 0; i < filled.size(); ++i) {
        TwoSigmaBin& bin = bins[filled[i]];
        const double own = bin.average_TECU;
        bin.smoothed_TECU = own;
        if (i == 0 || i + 1 == filled.size()) continue;
        const TwoSigmaBin& before = bins[filled[i] - 1];
        const TwoSigmaBin& after = bins[filled[i] + 1];
        bin.smoothed_TECU = 0.25 * (before.count > 0 ? before.average_TECU : own) + 0.5 * own +
                            0.25 * (after.count > 0 ? after.average_TECU : own);
    }

    curve.binWidth_h = width_h;
    curve.bins = std::move(bins);
    return static_cast<int>(filled.size());
}

}  // namespace velarix
