#pragma once
// Precise orbits from an SP3 file (versions a to d; plain, gzip or .Z): per satellite
// and epoch the Earth-fixed position of the satellite's centre of mass and its clock.
// Used to check the broadcast orbits.
#include <map>
#include <string>

namespace velarix {

class RunLog;

struct Sp3Sample {
    double x_m = 0.0, y_m = 0.0, z_m = 0.0;
    double clock_s = 0.0;
    bool hasClock = false;  // false where the file holds the bad/absent value 999999.999999
};

struct Sp3Orbits {
    char version = ' ';            // 'a' to 'd'
    std::string timeSystem;        // as the file gives it ("GPS", "UTC", ...); epochs below are GPS time
    std::string coordinateSystem;  // e.g. "IGS14", "IGb14"
    std::string agency;
    double interval_s = 0.0;
    int epochsAnnounced = 0;  // the header's count
    int epochsRead = 0;
    int badLines = 0;  // position lines that could not be read, reported and skipped
    // satNo -> epoch (MJD, GPS time) -> sample. Epochs with a bad/absent position (all
    // coordinates 0) are not stored.
    std::map<int, std::map<double, Sp3Sample>> bySatellite;
};

// Reads `path` into `orbits` (emptied first); messages name the file and line. 0: read
// to the EOF line. 1: the file ends early (no EOF line, fewer epochs than announced, or
// an epoch without satellites); what was read before is kept. -1: the file cannot be
// opened or expanded, or is no regular file (the message says which). -2: not an SP3
// file. -3: a time system that cannot be converted to GPS time (GPS, GAL, QZS, IRN, TAI,
// UTC, GLO and BDT can).
int ReadSp3File(const std::string& path, Sp3Orbits& orbits, RunLog& log);

}  // namespace velarix
