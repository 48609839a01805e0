#pragma once
// The S4 stage (GetS4): gives the records of job.tec their amplitude scintillation index
// from an S4 file of a LISN station, a SCINDA recording or, for RINEX input, a pseudo-S4
// from the first-band signal strength.
#include <string>
#include <vector>

#include "gnss/day_job.h"
#include "platform/run_log.h"

namespace velarix {

struct S4Config {
    std::string programDir;                // where the LISN site table file may lie
    std::vector<std::string> archiveRoots;  // searched for S4 files before the data folder
};

// Sets job.s4 (source, the S4 file read and its records, the LISN site match) and the
// records' s4; may renew job.dataInterval_s when it is outside [1, 300] s. Reports
// through `log`. The S4 source, file table and path are reset on every call, the LISN
// match is kept (job.s4.clear() for a new input file); with fewer than 2 satellites the
// records keep their s4.
void GetS4(DayJob& job, const S4Config& config, RunLog& log);

}  // namespace velarix
