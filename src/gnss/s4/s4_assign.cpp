#include "gnss/s4/s4_assign.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gnss/tec/data_interval.h"
#include "geodesy/time.h"

namespace velarix {

namespace {

constexpr std::size_t kMinFileRecords = 50;

// S4 of the first file record (in file order) within +-window_s of the grid point.
double fileS4Near(const std::vector<S4FileRecord>& records, double gridMjd, double window_s) {
    for (const S4FileRecord& record : records) {
        if (std::fabs(record[0] - gridMjd) * kSecondsPerDay < window_s) return record[2];
    }
    return kNoS4;
}

void assignSatellite(TecSeries& series, const S4Grid& grid, const std::vector<S4FileRecord>* fileRecords) {
    if (series.empty()) return;
    const double firstMjd = series.begin()->first;
    long point = 0;  // grid point number: the point lies point * step after the first epoch
    std::array<double, kPseudoS4Count> ring{};
    long gridRecords = 0;
    for (auto& [epochMjd, record] : series) {
        const double t_s = (epochMjd - firstMjd) * kSecondsPerDay;
        // Move on only past grid points whose window the record has left, so that no
        // point is skipped before its records arrive, whatever the sampling interval.
        if (t_s >= point * grid.step_s + grid.tolerance_s) {
            point = static_cast<long>(std::floor((t_s - grid.tolerance_s) / grid.step_s)) + 1;
        }
        const double gridOffset_s = point * grid.step_s;
        if (!(std::fabs(t_s - gridOffset_s) < grid.tolerance_s)) continue;
        double s4 = kNoS4;
        if (fileRecords != nullptr) {
            s4 = fileS4Near(*fileRecords, firstMjd + gridOffset_s / kSecondsPerDay, grid.window_s);
        } else {
            ring[static_cast<std::size_t>(gridRecords % kPseudoS4Count)] = record.signal1;
            if (++gridRecords % kPseudoS4Count == 0) s4 = pseudoS4(ring).value_or(kNoS4);
        }
        if (s4 != kNoS4) record.s4 = s4;
        ++point;
    }
}

}  // namespace

S4Grid s4Grid(double dataInterval_s, double fileInterval_s) {
    S4Grid grid;
    grid.step_s = dataInterval_s <= 30.0 ? 30.0 : dataInterval_s;
    grid.tolerance_s = std::min(dataInterval_s / 2.0, grid.step_s / 2.0);
    grid.window_s = dataInterval_s > 30.0 ? grid.step_s : fileInterval_s / 2.0;
    return grid;
}

double S4FileInterval_s(const S4FileTable& table) {
    std::vector<double> epochs;
    for (const auto& [satNo, records] : table) {
        if (records.size() < kMinFileRecords) continue;
        for (const S4FileRecord& record : records) epochs.push_back(record[0]);
        break;
    }
    return std::floor(RingInterval_s(epochs)) + 0.1;
}

std::optional<double> pseudoS4(const std::array<double, kPseudoS4Count>& signal) {
    double sum = 0.0;
    for (double value : signal) sum += value;
    const double mean = sum / kPseudoS4Count;
    if (!(mean > 0.0)) return std::nullopt;
    // q - m^2 summed as squared deviations: the same quantity without the cancellation
    // that could make it slightly negative for nearly equal values.
    double squares = 0.0;
    for (double value : signal) squares += (value - mean) * (value - mean);
    return std::sqrt(squares / kPseudoS4Count / mean);
}

void AssignS4(TecTable& tec, const S4Grid& grid, const S4FileTable& file) {
    for (auto& [satNo, series] : tec) {
        const auto found = file.find(satNo);
        assignSatellite(series, grid, found != file.end() ? &found->second : nullptr);
    }
}

}  // namespace velarix
