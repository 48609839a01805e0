#include "gnss/tec/data_interval.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "geodesy/time.h"

namespace velarix {

namespace {

constexpr std::size_t kMinEpochs = 50;  // more than 49
constexpr std::size_t kRingSlots = 10;
constexpr double kSettled_s = 1.0;

bool settled(const std::array<double, kRingSlots>& ring) {
    for (std::size_t j = 0; j + 1 < kRingSlots; ++j) {
        if (std::fabs(ring[j] - ring[j + 1]) > kSettled_s) return false;
    }
    return true;
}

// Rounded to the millisecond as a time of day; values that are no time of day are
// returned as they are (they fail the range check anyway, and must not wrap into it).
double toMillisecond(double seconds) {
    if (!(seconds >= 0.0 && seconds < kSecondsPerDay)) return seconds;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    double second = 0.0;
    const int carried = SplitSecondsOfDay(seconds, hour, minute, second);
    return carried * kSecondsPerDay + hour * 3600.0 + minute * 60.0 + second;
}

}  // namespace

namespace {

// Epochs of the first satellite of `bySatellite` with enough of them.
template <typename BySatellite, typename EpochOf>
std::vector<double> firstLongSatellite(const BySatellite& bySatellite, EpochOf epochOf) {
    std::vector<double> epochs;
    for (const auto& [satNo, records] : bySatellite) {
        if (records.size() < kMinEpochs) continue;
        epochs.reserve(records.size());
        for (const auto& record : records) epochs.push_back(epochOf(record));
        break;
    }
    return epochs;
}

}  // namespace

std::vector<double> EpochsOfFirstLongSatellite(const ObsTable& table) {
    return firstLongSatellite(table.bySatellite, [](const SatEpochRecord& r) { return r.epochMjd; });
}

std::vector<double> EpochsOfFirstLongSatellite(const TecTable& table) {
    return firstLongSatellite(table, [](const auto& entry) { return entry.first; });
}

std::vector<double> EpochsOfFirstLongSatellite(const ReceiverObsTable& table) {
    return firstLongSatellite(table.byPrn, [](const ReceiverObsRecord& r) { return r.epochMjd; });
}

double RingInterval_s(const std::vector<double>& epochsMjd) {
    std::array<double, kRingSlots> ring{};
    for (std::size_t k = 1; k < epochsMjd.size(); ++k) {
        ring[k % kRingSlots] = (epochsMjd[k] - epochsMjd[k - 1]) * kSecondsPerDay;
        if (k > kRingSlots && settled(ring)) break;
    }
    return toMillisecond(ring[0]);
}

DataIntervalResult DetectDataInterval(const std::vector<double>& epochsMjd, double& interval_s) {
    if (epochsMjd.empty()) return DataIntervalResult::kNoLongSatellite;
    const double interval = RingInterval_s(epochsMjd);
    if (!(interval > 0.0 && interval <= kMaxDataInterval_s)) return DataIntervalResult::kOutOfRange;
    interval_s = interval;
    return DataIntervalResult::kFound;
}

}  // namespace velarix
