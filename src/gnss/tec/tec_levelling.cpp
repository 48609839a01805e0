#include "gnss/tec/tec_levelling.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "geodesy/geodetic.h"
#include "gnss/orbits/look_geometry.h"
#include "geodesy/time.h"

namespace velarix {

namespace {

// Points whose code TEC lies outside this range (TECU) or below 5 deg do not level.
constexpr double kMinCodeTec = -200.0;
constexpr double kMaxCodeTec = 250.0;
constexpr double kMinElevation_deg = 5.0;
constexpr double kDropped_deg = -9.0;  // marks a point left out of the mean
// Epochs are MJD doubles: a gap of exactly 20 minutes may come out a microsecond longer.
constexpr double kGapTolerance_s = 1e-3;

bool breaksArc(double previousMjd, double epochMjd) {
    return (epochMjd - previousMjd) * kSecondsPerDay > kArcGap_s + kGapTolerance_s;
}

}  // namespace

double ArcMean(std::vector<ArcPoint> points) {
    const std::size_t n = points.size();
    if (n < 3) return 0.0;
    if (n > 10) {
        std::stable_sort(points.begin(), points.end(),
                         [](const ArcPoint& a, const ArcPoint& b) { return a.difference < b.difference; });
        for (std::size_t p = 1; p + 1 < n; ++p) {
            const double position = static_cast<double>(p);
            if (position < 0.06 * static_cast<double>(n) || position > 0.94 * static_cast<double>(n)) {
                points[p].elevation_deg = kDropped_deg;
            }
        }
    }
    for (double above_deg : {30.0, 15.0, 6.0}) {
        double sum = 0.0;
        int count = 0;
        for (std::size_t p = 1; p + 1 < n; ++p) {
            if (points[p].elevation_deg > above_deg) {
                sum += points[p].difference;
                ++count;
            }
        }
        if (count > 0) return sum / count;
    }
    return 0.0;
}

int LevelSatellite(TecSeries& series, double phaseSign, IonoMapping mapping) {
    std::vector<double> offsets;  // per arc
    std::vector<ArcPoint> arc;
    double previousMjd = 0.0;
    bool first = true;
    for (const auto& [epochMjd, record] : series) {
        if (!first && breaksArc(previousMjd, epochMjd)) {
            if (static_cast<int>(offsets.size()) == kMaxArcBreaks) {
                for (auto& [epoch, zeroed] : series) zeroed.slantTec = zeroed.verticalTec = 0.0;
                return kTooManyArcs;
            }
            offsets.push_back(ArcMean(std::move(arc)));
            arc.clear();
        }
        first = false;
        previousMjd = epochMjd;
        if (record.codeTec > kMinCodeTec && record.codeTec < kMaxCodeTec && record.elevation_deg > kMinElevation_deg) {
            arc.push_back({record.elevation_deg, record.codeTec - phaseSign * record.phaseTec});
        }
    }
    offsets.push_back(ArcMean(std::move(arc)));

    std::size_t arcIndex = 0;
    first = true;
    for (auto& [epochMjd, record] : series) {
        if (!first && breaksArc(previousMjd, epochMjd)) ++arcIndex;
        first = false;
        previousMjd = epochMjd;
        record.slantTec = offsets[arcIndex] + phaseSign * record.phaseTec;
        record.verticalTec = record.slantTec * MappingFactor(record.elevation_deg * kDegreesToRadians, mapping);
    }
    return static_cast<int>(offsets.size());
}

}  // namespace velarix
