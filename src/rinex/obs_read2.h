#pragma once
// The RINEX 2 reader of command files: a GPS observation file into the receiver table.
// Unlike the pipeline's reader (obs_reader.h) it keeps GPS satellites 1-32 only, and a
// satellite at an epoch only when its observables for TEC (P1/C1, P2/C2, L1, L2; see
// rinex2_tec_rule.h) are all non-zero; the others are counted as discarded data points.
#include <string>
#include <string_view>

#include "platform/run_log.h"
#include "rinex/receiver_obs_table.h"

namespace velarix {

// How a read ended (the "eof=" of its summary line). Negative: nothing was read.
enum ObsRead2End : int {
    kObsRead2Done = 0,
    kObsRead2NotObservationName = -1,  // the file name does not end in 'o' or 'O'
    kObsRead2CannotOpen = -2,          // missing, unreadable, or no regular file
    kObsRead2HeaderIncomplete = -3,    // the file ended before END OF HEADER
    kObsRead2TooManyTypes = -4,        // more than 30 observation types
    kObsRead2MissingObservables = -5,  // the header lacks the observables for TEC
    kObsRead2NotRinex2 = -6,           // not a RINEX 2 observation file
    kObsRead2EndInSatelliteList = 2,   // the file ended inside an epoch's satellite list; the
                                       // epochs before it are kept
};

constexpr std::size_t kMaxRinex2ObsTypes = 30;

struct ObsRead2Result {
    int endCode = kObsRead2Done;
    long stored = 0;     // satellite records stored
    long discarded = 0;  // GPS satellite records without all observables for TEC
};

// Appends to `table` (the caller empties it between days). Reports every skipped line
// with its line number, then the discarded count and the summary line.
ObsRead2Result OBS_read2(const std::string& path, ReceiverObsTable& table, RunLog& log);

// Description and unit of a RINEX 2 observation type ("L1": "L1 Carrier Phase",
// "L1 cycles"); "Unknown or Invalid", "unknown" for a type the reader does not know.
struct Rinex2ObsTypeInfo {
    const char* description;
    const char* unit;
};
Rinex2ObsTypeInfo rinex2ObsTypeInfo(std::string_view type);

}  // namespace velarix
