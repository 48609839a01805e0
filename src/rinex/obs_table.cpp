#include "rinex/obs_table.h"

#include <algorithm>

const SatObservation* SatEpochRecord::find(int obsId) const {
    if (obsId == kNoObsCode) return nullptr;
    for (const SatObservation& observation : observations) {
        if (observation.obsId == obsId) return &observation;
    }
    return nullptr;
}

double SatEpochRecord::value(int obsId) const {
    const SatObservation* observation = find(obsId);
    return observation != nullptr ? observation->value : 0.0;
}

std::span<SatObservation> ObservationPool::allocate(std::size_t count) {
    if (count == 0) return {};
    if (blocks_.empty() || lastBlockSize_ - lastBlockUsed_ < count) {
        const std::size_t grown = blocks_.empty() ? kFirstBlockObservations : 2 * lastBlockSize_;
        lastBlockSize_ = std::max(std::min(grown, kMaxBlockObservations), count);
        blocks_.push_back(std::make_unique<SatObservation[]>(lastBlockSize_));
        lastBlockUsed_ = 0;
    }
    SatObservation* first = blocks_.back().get() + lastBlockUsed_;
    lastBlockUsed_ += count;
    handedOut_ += count;
    return {first, count};
}

void ObservationPool::clear() {
    blocks_.clear();
    lastBlockSize_ = 0;
    lastBlockUsed_ = 0;
    handedOut_ = 0;
}

void ObsTable::clear() {
    bySatellite.clear();
    byEpoch.clear();
    tecSelection.clear();
    stationX_m = stationY_m = stationZ_m = 0.0;
    latitude_deg = longitude_deg = height_m = 0.0;
    positionKnown = false;
    readStatus = 0;
    pool.clear();
}
