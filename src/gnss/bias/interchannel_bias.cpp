#include "gnss/bias/interchannel_bias.h"

#include <cmath>

#include "gnss/bias/bias_grid.h"

namespace velarix {

namespace {

constexpr double kMinSlant_TECU = -200.0;
constexpr double kMaxSlant_TECU = 300.0;
constexpr double kAnyRuleThreshold_TECU = 2.5;  // the all-sample and 15-deg means
constexpr double kHighAbove_TECU = 3.5;          // the 30-deg mean
constexpr double kHighBelow_TECU = -3.0;
constexpr double kEnoughHighShare = 0.15;  // of the samples above 15 deg

// Enlargement factors of a negative mean: below -25, from -25 to below -20, from -20 to
// below -10.
struct Enlargement {
    double below25, below20, below10;
};
constexpr Enlargement kAllSamples{1.7, 1.4, 1.0};
constexpr Enlargement kAbove15{1.6, 1.3, 1.2};
constexpr Enlargement kAbove30{1.45, 1.25, 1.1};

double enlarged(double mean, const Enlargement& e) {
    if (mean < -25.0) return mean * e.below25;
    if (mean < -20.0) return mean * e.below20;
    if (mean < -10.0) return mean * e.below10;
    return mean;
}

double mean(double sum, int count) { return count > 0 ? sum / count : 0.0; }

}  // namespace

void CurveDifferences::add(double difference, double elevation_deg) {
    sumAll += difference;
    ++countAll;
    if (elevation_deg > 15.0) {
        sumAbove15 += difference;
        ++countAbove15;
    }
    if (elevation_deg > 30.0) {
        sumAbove30 += difference;
        ++countAbove30;
    }
}

double InterchannelCorrection(const CurveDifferences& d) {
    const double all = enlarged(mean(d.sumAll, d.countAll), kAllSamples);
    const double above15 = enlarged(mean(d.sumAbove15, d.countAbove15), kAbove15);
    const double above30 = enlarged(mean(d.sumAbove30, d.countAbove30), kAbove30);
    if (d.countAbove15 == 0 && d.countAbove30 == 0) {
        return std::fabs(all) > kAnyRuleThreshold_TECU ? all : 0.0;
    }
    if (d.countAbove30 >= kEnoughHighShare * d.countAbove15) {
        return above30 > kHighAbove_TECU || above30 < kHighBelow_TECU ? above30 : 0.0;
    }
    return std::fabs(above15) > kAnyRuleThreshold_TECU ? above15 : 0.0;
}

void SatelliteInterchannel(const TecSeries& resampled, const TwoSigmaCurve& curve, double dayStartMjd,
                           const std::vector<DataGap>& gaps, double& satellite, std::vector<double>& segments) {
    CurveDifferences whole;
    std::vector<CurveDifferences> perSegment(gaps.size() + 1);
    for (const auto& [epochMjd, r] : resampled) {
        if (r.valid != 1 || r.slantTec < kMinSlant_TECU || r.slantTec > kMaxSlant_TECU) continue;
        const TwoSigmaBin* point = curve.pointAt((epochMjd - dayStartMjd) * 24.0);
        if (point == nullptr) continue;
        const double difference = r.verticalTec - point->smoothed_TECU;
        whole.add(difference, r.elevation_deg);
        perSegment[SegmentIndex(gaps, epochMjd)].add(difference, r.elevation_deg);
    }
    satellite = InterchannelCorrection(whole);
    segments.clear();
    for (const CurveDifferences& d : perSegment) segments.push_back(InterchannelCorrection(d));
}

}  // namespace velarix
