#pragma once
// The sampling interval of a station-day, detected from the epochs of one satellite: the
// epoch-to-epoch intervals go round a ring of 10 slots, and the interval is taken once
// the ring has settled (no two neighbouring slots more than 1 s apart).
#include <vector>

#include "gnss/tec/tec_table.h"
#include "rinex/obs_table.h"
#include "rinex/receiver_obs_table.h"

namespace velarix {

constexpr double kMaxDataInterval_s = 300.0;

// Epochs (MJD) of the first satellite, in ascending number, with more than 49 of them;
// empty when there is none.
std::vector<double> EpochsOfFirstLongSatellite(const ObsTable& table);
std::vector<double> EpochsOfFirstLongSatellite(const TecTable& table);
std::vector<double> EpochsOfFirstLongSatellite(const ReceiverObsTable& table);

// The ring's interval (s, to the millisecond) of time-ordered epochs (MJD): slot 0 at the
// first epoch from the twelfth on at which the ring has settled, else after the last one.
double RingInterval_s(const std::vector<double>& epochsMjd);

enum class DataIntervalResult {
    kFound = 0,
    kNoLongSatellite = -1,  // no epochs to detect from
    kOutOfRange = -3,       // not in (0, 300] s
};

// `interval_s` is set on kFound only.
[[nodiscard]] DataIntervalResult DetectDataInterval(const std::vector<double>& epochsMjd, double& interval_s);

}  // namespace velarix
