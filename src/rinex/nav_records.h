#pragma once
// One navigation record as read from the file (epoch line and broadcast-orbit lines) and
// its conversion into the table's records.
#include <string_view>

#include "rinex/ephemeris_table.h"
#include "rinex/nav_fields.h"

namespace velarix {

enum class NavLayout {
    kRinex2,  // identifier in columns 1-2, orbit values from column 4
    kRinex3,  // identifier in columns 1-3, orbit values from column 5
};

struct RawNavRecord {
    int satNo = 0;
    NavEpochFields epoch;
    double clock[3] = {};     // the epoch line's three values
    double orbit[8][4] = {};  // broadcast-orbit lines 1-7 (index 0 unused)
};

// Column (0-based) where the values of an orbit line start.
std::size_t orbitValueColumn(NavLayout layout);
// True for a broadcast-orbit line: its identifier columns are blank.
bool isOrbitLine(std::string_view line, NavLayout layout);
// Reads identifier, date and clock values of an epoch line; satNo as the identifier
// gives it (no file-type offset). False for a badly formatted line.
bool parseNavEpochLine(std::string_view line, NavLayout layout, RawNavRecord& record);
// Number of orbit lines a record of the system has: 7 (Keplerian), 3 (GLONASS, SBAS),
// 0 for systems without broadcast records here.
int orbitLineCount(int systemCode);

KeplerEphemeris toKeplerEphemeris(const RawNavRecord& raw);
GlonassEphemeris toGlonassEphemeris(const RawNavRecord& raw);
SbasEphemeris toSbasEphemeris(const RawNavRecord& raw);

}  // namespace velarix
