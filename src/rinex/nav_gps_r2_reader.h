#pragma once
// The older reader of RINEX 2 GPS navigation files used by the receiver-format path: the
// first record of each PRN only, in its own table.
#include <array>
#include <map>
#include <string>
#include <string_view>

#include "rinex/ephemeris_table.h"
#include "rinex/nav_header.h"
#include "rinex/nav_reader.h"

namespace velarix {

class RunLog;

struct GpsBroadcastTable {
    std::map<int, KeplerEphemeris> byPrn;  // the first record read of each PRN 1..32
    std::array<int, 33> prnStored{};       // 1 for each PRN in byPrn (index 0-32)
    // 0 after a whole file; 1-7 when it ended inside a record, before that orbit line.
    int readStatus = 0;
};

// The values of one broadcast-orbit line (3X,4D19.12): 0, or -1 when the line is not an
// orbit line or a value cannot be read.
int GetBroadCastOrbit(std::string_view line, double (&values)[4]);

// Adds the records of PRNs not yet in `table` and fills `header`. kRead after a read (also
// when the last record is incomplete or a PRN above 32 ended it; both reported in `log`),
// kCannotOpen, kNotRegularFile, or kNotNavigation when it is not a RINEX 2 GPS navigation
// file.
[[nodiscard]] NavReadResult readGpsNavigationR2(const std::string& path, GpsBroadcastTable& table, NavHeader& header,
                                                RunLog& log);

}  // namespace velarix
