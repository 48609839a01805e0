#include "gnss/checks/gim_check.h"

#include <algorithm>
#include <cmath>

#include "platform/strfmt.h"

namespace velarix {

namespace {

// Sums of the differences of one group.
struct Sums {
    int count = 0;
    double sum = 0.0;
    double sumSquares = 0.0;
    double mapSum = 0.0;

    void add(double d, double map) {
        ++count;
        sum += d;
        sumSquares += d * d;
        mapSum += map;
    }

    DifferenceStats stats() const {
        DifferenceStats s;
        s.count = count;
        if (count == 0) return s;
        s.mean_TECU = sum / count;
        s.rms_TECU = std::sqrt(sumSquares / count);
        s.mapMean_TECU = mapSum / count;
        if (count > 1)
            s.std_TECU = std::sqrt(std::max(0.0, (sumSquares - count * s.mean_TECU * s.mean_TECU) / (count - 1)));
        return s;
    }
};

int utHour(double mjd) {
    const int hour = static_cast<int>(std::floor((mjd - std::floor(mjd)) * 24.0));
    return hour < 0 ? 0 : hour > 23 ? 23 : hour;
}

}  // namespace

GimCheckResult CompareWithMaps(const std::vector<VtecSample>& samples, const IonexMaps& maps,
                               double minElevation_deg) {
    GimCheckResult result;
    result.samples = static_cast<int>(samples.size());
    Sums all;
    std::array<Sums, 24> byHour{};
    for (const VtecSample& s : samples) {
        if (!(s.elevation_deg > minElevation_deg)) {
            ++result.belowMask;
            continue;
        }
        const double map = maps.verticalTec(s.epochMjd, s.ippLatitude_deg, s.ippLongitude_deg);
        if (std::isnan(map)) {
            ++result.withoutMapValue;
            continue;
        }
        const double difference = s.verticalTec_TECU - map;
        all.add(difference, map);
        byHour[static_cast<std::size_t>(utHour(s.epochMjd))].add(difference, map);
    }
    result.all = all.stats();
    for (std::size_t h = 0; h < byHour.size(); ++h) result.byHour[h] = byHour[h].stats();
    return result;
}

std::string GimVerdict(const DifferenceStats& all) {
    if (all.count == 0) return "verdict: nothing compared";
    const bool levelOk = std::fabs(all.mean_TECU) <= kAgreeingMean_TECU;
    const bool scatterOk = all.rms_TECU <= kAgreeingRms_TECU;
    if (levelOk && scatterOk) {
        return strfmt("verdict: agrees with the map: mean %+.2f TECU, RMS %.2f TECU (limits %.1f and %.1f)",
                      all.mean_TECU, all.rms_TECU, kAgreeingMean_TECU, kAgreeingRms_TECU);
    }
    if (!levelOk) {
        return strfmt("verdict: level %s the map by %.2f TECU (limit %.1f), RMS %.2f TECU, std %.2f TECU",
                      all.mean_TECU < 0.0 ? "below" : "above", std::fabs(all.mean_TECU), kAgreeingMean_TECU,
                      all.rms_TECU, all.std_TECU);
    }
    return strfmt("verdict: level agrees (mean %+.2f TECU) but the scatter does not: RMS %.2f TECU (limit %.1f)",
                  all.mean_TECU, all.rms_TECU, kAgreeingRms_TECU);
}

}  // namespace velarix
