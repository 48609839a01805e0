#pragma once
// The observation table that the observation reader fills and the TEC derivation and the
// station position solution read.
//
// Layout: the observations of every record live in one pool of fixed-size blocks that
// never move; a record holds a span into it. Records are therefore small (40 bytes), a
// read makes no allocation per record, and the table costs little more than the values
// themselves. The table owns the pool, so it can be moved but not copied.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "rinex/obs_codes.h"
#include "rinex/satellite_id.h"

namespace velarix {

// One observable of one satellite at one epoch.
struct SatObservation {
    double value = 0.0;  // 0.0: absent
    int obsId = kNoObsCode;
    std::int16_t lossOfLock = 0;
    std::int16_t signalStrength = 0;
};

// One satellite at one epoch (40 bytes: the letter after the flag, where it fills padding).
struct SatEpochRecord {
    double epochMjd = 0.0;
    int satNo = 0;
    int systemCode = kGps;
    // In the order of the header's list for the system, absent values included, up to the
    // last field the file's line reaches (RINEX 3 lines may stop early; the rest are absent).
    // A read that keeps the TEC observables only (ObsKeep::kTecOnly) stores those of them.
    std::span<const SatObservation> observations;
    std::int16_t epochFlag = 0;
    char systemLetter = 'G';

    // The observation with this identifier, or nullptr when the record has none.
    const SatObservation* find(int obsId) const;
    // Its value; 0.0 when absent.
    double value(int obsId) const;
};

// Storage of the observations of all records.
//
// Blocks are filled in file order and grow from 64 KiB to 2 MiB, so a small file costs
// little. Blocks of 2 MiB are aligned to 2 MiB and asked to be backed by the kernel's
// transparent huge pages (madvise MADV_HUGEPAGE, where the system allows it), which spares
// a large read most of the first-touch page faults; a refusal leaves ordinary pages. A block can be released on its own once nothing reads its observations again
// (the TEC derivation of a day releases them as it goes, see gnss/tec/raw_analyse.h).
class ObservationPool {
public:
    // `count` zeroed observations that stay where they are until their block is released
    // or the pool cleared.
    std::span<SatObservation> allocate(std::size_t count);
    void clear();
    // Observations handed out.
    std::size_t size() const { return handedOut_; }

    // Blocks in the order they were filled (released ones included).
    std::size_t blockCount() const { return blocks_.size(); }
    // The block that holds `observation`; blockCount() when no block of the pool does.
    std::size_t blockOf(const SatObservation* observation) const;
    bool holds(std::size_t block, const SatObservation* observation) const;
    // Frees the block's memory; the spans handed out from it must not be read again.
    void releaseBlock(std::size_t block);

    static constexpr std::size_t kHugeBlockBytes = std::size_t{2} << 20;
    // Blocks grow no larger than `bytes` (at least the first block's 64 KiB) from now on. A
    // table that is released block by block takes smaller blocks: a block is the step in
    // which its memory comes back, and 2 MiB are much of a small day.
    void setLargestBlock(std::size_t bytes);

private:
    static constexpr std::size_t kFirstBlockObservations = 4096;
    std::size_t maxBlockObservations_ = kHugeBlockBytes / sizeof(SatObservation);

    struct FreeBlock {
        void operator()(SatObservation* block) const;
    };
    struct Block {
        std::unique_ptr<SatObservation[], FreeBlock> data;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    void addBlock(std::size_t count);

    // Each block is filled up to its capacity and never reallocated, so spans stay valid.
    std::vector<Block> blocks_;
    std::size_t handedOut_ = 0;
};

// A combination of the four TEC observables, in the order of TecObsSelection.
struct TecCandidate {
    std::array<int, 4> obsIds{kNoObsCode, kNoObsCode, kNoObsCode, kNoObsCode};
    long count = 0;  // satellite lines on which all four were non-zero
    int rank = 0;    // preference, 0 = most preferred
};

// The observables from which one system's TEC is derived.
struct TecObsSelection {
    int firstCode = kNoObsCode;
    int secondCode = kNoObsCode;
    int firstPhase = kNoObsCode;
    int secondPhase = kNoObsCode;
    int firstStrength = kNoObsCode;  // signal strength on the first band
    int secondStrength = kNoObsCode;
    std::string firstCodeName;
    std::string secondCodeName;
    // Every combination of the four roles (code and phase of a frequency on one band), in
    // preference order until the data are read, then in the order the final choice left them.
    std::vector<TecCandidate> candidates;
    // Satellite lines on which each observable was non-zero, by identifier.
    std::map<int, long> occurrences;
    int firstBand = 0;  // carrier bands of the chosen observables
    int secondBand = 0;
    std::map<int, int> strengthByBand;  // band -> its signal-strength observable
    int enough = 0;  // 1 when every role has at least one observable
};

// How the observation reader ended.
enum ObsReadStatus {
    kObsRead = 0,
    kObsHeaderIncomplete = -1,  // the file ended before END OF HEADER
    kObsCannotOpen = -2,
    kObsNotRegularFile = -3,     // a directory, FIFO or device: refused before reading
    kObsNoTecObservables = -4,   // the header lacks the observables for TEC: no data read
    kObsEndInSatelliteList = 2,  // the file ended inside a RINEX 2 satellite list
};

struct ObsTable {
    // Satellite number -> records in file order. RINEX 3 files give GPS and IRNSS only.
    std::map<int, std::vector<SatEpochRecord>> bySatellite;
    // Epoch (MJD) -> its records; only while the station position is unknown, first 100 epochs.
    std::map<double, std::vector<SatEpochRecord>> byEpoch;
    // System code -> observables for TEC.
    std::map<int, TecObsSelection> tecSelection;

    // Approximate station position from the header.
    double stationX_m = 0.0;
    double stationY_m = 0.0;
    double stationZ_m = 0.0;
    double latitude_deg = 0.0;
    double longitude_deg = 0.0;  // 0..360
    double height_m = 0.0;
    bool positionKnown = false;  // false when X and Y are both 0

    // An ObsReadStatus.
    int readStatus = 0;

    ObservationPool pool;

    // Empties the maps and the pool and forgets the position.
    void clear();
    // Empties the records and the pool once nothing reads them again; the TEC selection,
    // the position and the read status stay.
    void releaseObservations();
};

}  // namespace velarix
