#pragma once
// The S4 stage (GetS4): gives the records of job.tec their amplitude scintillation index
// from an S4 file of a LISN station, a SCINDA recording or, for RINEX input, a pseudo-S4
// from the first-band signal strength.
#include <string>
#include <vector>

#include "gnss/day_job.h"
#include "platform/run_log.h"

struct S4Config {
    std::string programDir;                // where the LISN site table file may lie
    std::vector<std::string> archiveRoots;  // searched for S4 files before the data folder
};

void GetS4(DayJob& job, const S4Config& config, RunLog& log);
