#pragma once
// The station's position from its own pseudoranges, for files whose header carries none:
// a code-only single-point solution per epoch from the broadcast ephemerides, the early
// solutions averaged into the station position.
#include <string>

#include "gnss/day_job.h"
#include "platform/run_log.h"

namespace velarix {

// How the position solution ended.
enum class StationPositionResult {
    kEstablished = 0,
    kNotEstablished = -1,       // fewer than 21 epochs gave a solution; job.station is unchanged
    kSolutionsNotWritten = -2,  // mode 1 could not write its file (whether or not a position was established)
};

// Mode 0: solves epochs of job.obs.byEpoch until the approximate position is established
// and stops. Mode 1: empties byEpoch, refills it from bySatellite, solves every epoch and
// writes the solutions after the first to `solutionsPath` as lines "hour<TAB>latitude
// <TAB>longitude<TAB>height". Any other mode acts as 0.
//
// An epoch takes part with at least five satellites that have the first code observable
// of their system's TEC selection, a pseudorange and orbit radius of a GNSS satellite
// (10 000 to 50 000 km; 0 means absent) and a current ephemeris; once the approximate position
// exists, only those above 20 degrees elevation. An epoch whose decomposition fails (its
// message goes to `log`) or whose solution misses its own pseudoranges by more than 1 km
// RMS is left out, so that one bad epoch neither ends the call nor spoils the mean. The
// approximate position is the mean X, Y, Z of the 2nd to the 20th of the first 21
// solutions; it goes to job.station and to the observation table's station X, Y, Z.
//
// kEstablished when the approximate position was established, kNotEstablished otherwise,
// kSolutionsNotWritten when mode 1 could not write `solutionsPath` (reported in `log`; an
// established position is stored all the same).
[[nodiscard]] StationPositionResult SolveStationPosition(DayJob& job, int mode, const std::string& solutionsPath,
                                                       RunLog& log);

}  // namespace velarix
