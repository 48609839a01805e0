#include "gnss/bias/bias_grid.h"

namespace velarix {

namespace {

constexpr double kWideToleranceFrom_s = 120.0;

}  // namespace

double GridTolerance_day(double interval_s) {
    const double share = interval_s >= kWideToleranceFrom_s ? 0.4 : 0.3;
    return share * interval_s / 86400.0;
}

TecTable ResampleToGrid(const TecTable& tec, double tolerance_day) {
    TecTable grid;
    for (const auto& [satNo, series] : tec) {
        TecSeries kept;
        bool started = false;
        double pointer = 0.0;
        for (const auto& [epochMjd, record] : series) {
            if (record.valid != 1) continue;
            if (!started) {
                pointer = epochMjd;
                started = true;
            }
            while (pointer < epochMjd - tolerance_day) pointer += kGridStep_day;
            if (pointer > epochMjd - tolerance_day && pointer < epochMjd + tolerance_day) {
                kept.emplace(epochMjd, record);
                pointer += kGridStep_day;
            }
        }
        if (!kept.empty()) grid.emplace(satNo, std::move(kept));
    }
    return grid;
}

std::vector<DataGap> FindGaps(const TecSeries& resampled) {
    std::vector<DataGap> gaps;
    if (resampled.size() < kMinRecordsForSegments) return gaps;
    double previous = resampled.begin()->first;
    for (const auto& [epochMjd, record] : resampled) {
        if (epochMjd - previous > kSegmentGap_day) {
            gaps.push_back({previous, epochMjd});
            if (gaps.size() == kMaxGapsPerSatellite) break;
        }
        previous = epochMjd;
    }
    return gaps;
}

std::size_t SegmentIndex(const std::vector<DataGap>& gaps, double epochMjd) {
    std::size_t index = 0;
    while (index < gaps.size() && gaps[index].endMjd <= epochMjd) ++index;
    return index;
}

double SatelliteSegments::correctionAt(double epochMjd) const {
    const std::size_t index = SegmentIndex(gaps, epochMjd);
    return index < corrections.size() ? corrections[index] : 0.0;
}

}  // namespace velarix
