#include "rinex/obs_table.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <type_traits>

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

static_assert(std::is_trivially_destructible_v<SatObservation>, "a released block is freed without destructors");

void ObservationPool::FreeBlock::operator()(SatObservation* block) const { std::free(block); }

void ObservationPool::addBlock(std::size_t count) {
    const std::size_t grown = blocks_.empty() ? kFirstBlockObservations
                                              : std::min(2 * blocks_.back().capacity, maxBlockObservations_);
    const std::size_t capacity = std::max(grown, count);
    const std::size_t bytes = capacity * sizeof(SatObservation);
    void* memory = nullptr;
    if (bytes % kHugeBlockBytes == 0) {
        memory = std::aligned_alloc(kHugeBlockBytes, bytes);
        if (memory != nullptr) AdviseHugePages(memory, bytes);
    }
    if (memory == nullptr) memory = std::malloc(bytes);
    if (memory == nullptr) throw std::bad_alloc();
    PrefaultPages(memory, bytes);
    blocks_.push_back({std::unique_ptr<SatObservation[], FreeBlock>(static_cast<SatObservation*>(memory)), capacity, 0});
}

std::span<SatObservation> ObservationPool::allocate(std::size_t count) {
    if (count == 0) return {};
    if (blocks_.empty() || blocks_.back().data == nullptr || blocks_.back().capacity - blocks_.back().used < count) {
        addBlock(count);
    }
    Block& block = blocks_.back();
    SatObservation* first = block.data.get() + block.used;
    std::uninitialized_value_construct_n(first, count);
    block.used += count;
    handedOut_ += count;
    return {first, count};
}

void ObservationPool::clear() {
    blocks_.clear();
    handedOut_ = 0;
}

bool ObservationPool::holds(std::size_t block, const SatObservation* observation) const {
    if (block >= blocks_.size() || blocks_[block].data == nullptr) return false;
    const SatObservation* first = blocks_[block].data.get();
    return !std::less<const SatObservation*>()(observation, first) &&
           std::less<const SatObservation*>()(observation, first + blocks_[block].used);
}

std::size_t ObservationPool::blockOf(const SatObservation* observation) const {
    for (std::size_t block = 0; block < blocks_.size(); ++block) {
        if (holds(block, observation)) return block;
    }
    return blocks_.size();
}

void ObservationPool::setLargestBlock(std::size_t bytes) {
    maxBlockObservations_ = std::max(kFirstBlockObservations, bytes / sizeof(SatObservation));
}

void ObservationPool::releaseBlock(std::size_t block) {
    if (block < blocks_.size()) blocks_[block].data.reset();
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

void ObsTable::releaseObservations() {
    bySatellite.clear();
    byEpoch.clear();
    pool.clear();
}

}  // namespace velarix
