#pragma once
// Broadcast orbits checked against precise ones: for every satellite in both, broadcast
// minus precise position at the precise epochs where a broadcast record is current, and
// the clock difference after the common clock datum of its system is removed.
//
// What the comparison does not model: precise positions are of the centre of mass while
// broadcast orbits refer to the antenna phase centre (offsets of up to about 2.5 m,
// mostly radial: GLONASS broadcast positions lie about 2.5 m low); GLONASS broadcast
// orbits are in PZ-90.11, which agrees with the ITRF at the decimetre level.
#include <map>
#include <vector>

#include <string>

#include "gnss/checks/sp3_reader.h"
#include "rinex/ephemeris_table.h"
#include "rinex/nav_reader.h"

namespace velarix {

class RunLog;

// An epoch is compared only when it lies within the validity of the record that
// SelectEphemeris picks for it, measured from the record's reference epoch (before, after):
// - GPS, QZSS, IRNSS: 2 h, 2 h: half the 4-hour fit interval centred on the reference epoch.
// - Galileo, BeiDou: 30 min, 2 h: their records are fitted for use after the reference
//   epoch; used earlier they degrade fast (10-20 m at two hours before). The nearest
//   record is such a later one where a station's file has gaps.
// - GLONASS: 16 min, 16 min: half the 30-minute record spacing plus a minute (the records
//   sit 18 s off the quarter hours in GPS time).
// - SBAS: 10 min, 10 min.
struct ValidityWindow {
    double before_h = 0.0;
    double after_h = 0.0;
};
ValidityWindow OrbitCheckWindow(int systemCode);

struct SatelliteOrbitCheck {
    int satNo = 0;
    int epochs = 0;        // precise epochs compared
    int epochsSkipped = 0;  // precise epochs without a current broadcast record
    double rms3d_m = 0.0;  // 3-D position difference
    double max3d_m = 0.0;
    int clockEpochs = 0;        // epochs with both clocks and a clock datum
    double clockRms_ns = 0.0;   // after removing the per-epoch mean of the system
    bool healthy = true;        // every record used was flagged healthy
};

struct SystemOrbitSummary {
    int satellites = 0;          // healthy satellites with compared epochs
    double medianRms3d_m = 0.0;  // median of their 3-D RMS
    double maxRms3d_m = 0.0;     // largest of their 3-D RMS
    double medianClockRms_ns = 0.0;
};

struct OrbitCheckResult {
    std::vector<SatelliteOrbitCheck> satellites;  // by satellite number, each with compared epochs
    std::map<int, SystemOrbitSummary> bySystem;   // system code -> healthy satellites' summary
};

// Compares every satellite that both hold. Broadcast clocks are taken without the
// periodic relativistic term (precise clocks leave it to the user); the per-epoch mean
// over the system's healthy satellites is removed from the clock differences.
OrbitCheckResult CheckBroadcastOrbits(const EphemerisTable& broadcast, const Sp3Orbits& precise);

// Reads a navigation file, plain or compressed (.Z, gzip), into `table` (emptied first):
// the navigation reader's result, or kCannotOpen when the file cannot be expanded.
[[nodiscard]] NavReadResult ReadBroadcastOrbits(const std::string& path, EphemerisTable& table, RunLog& log);

}  // namespace velarix
