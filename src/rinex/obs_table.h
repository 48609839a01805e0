#pragma once
// The observation table that the observation reader fills and the TEC derivation and the
// station position solution read.
//
// Layout: the observations of every record live in one pool of fixed-size blocks that
// never move; a record holds a span into it. Records are therefore small (48 bytes), a
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

// One satellite at one epoch.
struct SatEpochRecord {
    double epochMjd = 0.0;
    int satNo = 0;
    char systemLetter = 'G';
    int systemCode = kGps;
    // In the order of the header's list for the system, absent values included, up to the
    // last field the file's line reaches (RINEX 3 lines may stop early; the rest are absent).
    std::span<const SatObservation> observations;
    std::int16_t epochFlag = 0;

    // The observation with this identifier, or nullptr when the record has none.
    const SatObservation* find(int obsId) const;
    // Its value; 0.0 when absent.
    double value(int obsId) const;
};

// Storage of the observations of all records.
class ObservationPool {
public:
    // `count` zeroed observations that stay where they are until clear().
    std::span<SatObservation> allocate(std::size_t count);
    void clear();
    // Observations handed out.
    std::size_t size() const { return handedOut_; }

private:
    // Blocks grow from 64 KiB to 512 KiB, so a small file costs little.
    static constexpr std::size_t kFirstBlockObservations = 4096;
    static constexpr std::size_t kMaxBlockObservations = 32768;

    // Each block is filled up to its capacity and never reallocated, so spans stay valid.
    std::vector<std::vector<SatObservation>> blocks_;
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
};

}  // namespace velarix
