#pragma once
// Levelling of phase TEC to code TEC: within each arc (a stretch without a gap of more
// than 20 minutes) the phase series is lifted by the mean code-minus-phase difference of
// the arc's better points, so the levelled TEC keeps the phase's precision and takes the
// code's absolute level.
#include <vector>

#include "gnss/orbits/look_geometry.h"
#include "gnss/tec/tec_table.h"

namespace velarix {

constexpr double kArcGap_s = 1200.0;  // a longer gap ends an arc
constexpr int kMaxArcBreaks = 29;
constexpr int kTooManyArcs = -1;

// A point of an arc: elevation (deg) and code minus signed phase TEC (TECU).
struct ArcPoint {
    double elevation_deg = 0.0;
    double difference = 0.0;
};

// The arc's levelling offset. Arcs of more than 10 points lose their extreme 6 % of
// differences on each side; the first and last point (in difference order, or in time
// order for short arcs) never count. The mean is taken over the points above 30 deg, else
// 15 deg, else 6 deg; 0 when there is none or the arc has fewer than 3 points.
double ArcMean(std::vector<ArcPoint> points);

// Sets slantTec = arc offset + phaseSign * phaseTec and verticalTec = slantTec *
// MappingFactor(elevation) for every record. Returns the number of arcs, or kTooManyArcs
// when the satellite has more than 29 breaks (slantTec and verticalTec are then 0).
[[nodiscard]] int LevelSatellite(TecSeries& series, double phaseSign, IonoMapping mapping = IonoMapping::kThinShell);

}  // namespace velarix
