#pragma once
// The observation file reader of the processing pipeline: one plain RINEX observation file
// (2.x or 3.0x) into the observation table and the header, every skipped line reported to
// the run log with its line number.
#include <string>

#include "platform/line_reader.h"
#include "platform/run_log.h"
#include "rinex/obs_table.h"
#include "rinex/rinex3_obs_header.h"

namespace velarix {

// The counters of the closing summary line, for callers that show them.
struct ObsReadCounts {
    long lines = 0;      // lines read, header included
    long epochs = 0;     // epochs of flags 0, 1 and 6
    long discarded = 0;  // lines discarded
    double firstEpochMjd = 0.0;  // first and last of those epochs; 0 when there is none
    double lastEpochMjd = 0.0;
};

// Which observables of a satellite line a read stores in the table.
enum class ObsKeep {
    kEvery,    // every one of the header's list (the tools and the summaries)
    kTecOnly,  // those the TEC derivation, the S4 stage and the station position can take
               // (tecObservablesKept in rinex/tec_selection.h); a processing day reads so
};

// Resets `header` and appends to the maps of `table` (the caller empties them between
// files as it needs). `table.readStatus` tells how the read ended. What is counted, chosen
// and reported is the same whatever `keep` stores.
ObsReadCounts OBS_readR3(const std::string& path, ObsTable& table, Rinex3ObsHeader& header, RunLog& log,
                         ObsKeep keep = ObsKeep::kEvery);
// The same from lines already open (a file, or a decoder's pipe) that `path` names in the
// messages.
ObsReadCounts OBS_readR3(LineReader& in, const std::string& path, ObsTable& table, Rinex3ObsHeader& header,
                         RunLog& log, ObsKeep keep = ObsKeep::kEvery);

}  // namespace velarix
