#include "rinex/obs_table.h"

#include <algorithm>

#include "platform/prefault.h"

namespace velarix {

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
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < count) {
        const std::size_t grown = blocks_.empty() ? kFirstBlockObservations : 2 * blocks_.back().capacity();
        std::vector<SatObservation>& block = blocks_.emplace_back();
        block.reserve(std::max(std::min(grown, kMaxBlockObservations), count));
        PrefaultPages(block.data(), block.capacity() * sizeof(SatObservation));
    }
    std::vector<SatObservation>& block = blocks_.back();
    const std::size_t first = block.size();
    block.resize(first + count);
    handedOut_ += count;
    return {block.data() + first, count};
}

void ObservationPool::clear() {
    blocks_.clear();
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

}  // namespace velarix
