#pragma once
// Our vertical TEC checked against global ionosphere maps: for every record above an
// elevation mask, ours minus the map's vertical TEC at the record's pierce point and
// epoch; the differences summed up for the day and per UT hour.
//
// Not modelled: the maps' single layer (450 km for CODE and JPL) differs from our 350 km
// shell, and CODE's map latitudes are geocentric; both move a pierce point by a fraction
// of a grid cell. Record epochs are GPS time, map epochs UT (18 s apart in 2020).
#include <array>
#include <string>
#include <vector>

#include "gnss/checks/ionex_reader.h"
#include "gnss/checks/vtec_samples.h"

namespace velarix {

// Statistics of the differences ours minus map (TECU), and the map's level.
struct DifferenceStats {
    int count = 0;
    double mean_TECU = 0.0;
    double std_TECU = 0.0;  // sample standard deviation (n - 1); 0 for fewer than 2
    double rms_TECU = 0.0;
    double mapMean_TECU = 0.0;  // mean of the map values compared
};

struct GimCheckResult {
    int samples = 0;          // records given
    int belowMask = 0;        // at or below the elevation mask
    int withoutMapValue = 0;  // above the mask, but outside the maps' grid or time span
    DifferenceStats all;
    std::array<DifferenceStats, 24> byHour{};  // UT hour of the record's epoch
};

// The figures a calibrated day should meet against a map: its level and its scatter.
constexpr double kAgreeingMean_TECU = 1.5;
constexpr double kAgreeingRms_TECU = 2.0;

// One line on the day's differences: whether they meet both limits, else which one fails
// and by how much ("verdict: ...").
std::string GimVerdict(const DifferenceStats& all);

GimCheckResult CompareWithMaps(const std::vector<VtecSample>& samples, const IonexMaps& maps,
                               double minElevation_deg);

}  // namespace velarix
