#pragma once
// The navigation reader: one RINEX navigation file (version 2, 3 or 4; GPS, GLONASS,
// SBAS, Galileo, BeiDou, QZSS, IRNSS, single-system or mixed) into the ephemeris table.
#include <string>

#include "platform/status_code.h"
#include "rinex/ephemeris_table.h"
#include "rinex/nav_header.h"

namespace velarix {

class RunLog;

// How a read ended, for callers and tools that want more than the result code.
struct NavReadReport {
    // 0: end of file after a whole record. 1-7: the file ended inside a record, before
    // that orbit line. 2 also: a line too short for an epoch line stopped the read.
    int status = 0;
    int recordsStored = 0;
    int badRecords = 0;      // badly formatted or incomplete records, reported and dropped
    int channelDropped = 0;  // GLONASS records with a frequency channel outside -7..13
    int recordsSkipped = 0;  // records of systems or kinds without a place in the table
};

// Results of the navigation readers.
enum class NavReadResult {
    kRead = 0,
    kCannotOpen = -1,
    kNotNavigation = -2,   // the header is not that of a navigation file the reader knows
    kNotRegularFile = -3,  // a directory, FIFO or device: refused before reading
};

// Adds the file's records to `table` (the maps are not emptied; the record count and the
// satellite flags are) and fills `header`. kRead after a read, also when the last record
// is incomplete (reported in `log`).
[[nodiscard]] NavReadResult readNavigationFile(const std::string& path, EphemerisTable& table, NavHeader& header,
                                               RunLog& log, NavReadReport* report = nullptr);

class NavLines;
// kRead when `lines` opened `path`; otherwise the refusal, reported in `log`
// ("\r\nCan't open Nav. file: " and the path, or that it is no regular file).
[[nodiscard]] NavReadResult navOpenResult(const NavLines& lines, const std::string& path, RunLog& log);

}  // namespace velarix
