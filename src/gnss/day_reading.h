#pragma once
// Reading one station-day into a DayJob as the pipeline does, for the tools: navigation
// files, DCB files and the observation file, then the station position (the header's, or
// the position solution when the header has none) and the processing day.
#include <string>
#include <vector>

#include "gnss/day_job.h"
#include "platform/run_log.h"

// Plain (decompressed) files of the day; an empty DCB path is skipped.
struct DayFiles {
    std::string observationPath;
    std::vector<std::string> navigationPaths;
    std::string p1c1Path;
    std::string p1p2Path;
    std::string p1p2AllPath;
};

enum DayReadResult {
    kDayRead = 0,
    kDayObservationFailed = -2,  // the observation file could not be read, or is none
    kDayNavigationFailed = -4,   // a navigation file could not be opened, or none gave an ephemeris
                                 // within a day of the observations
    kDayNoStationPosition = -7,  // neither the header nor the solution gave a position
};

// Empties the job's tables, reads the files and reports to `log` with the pipeline's
// messages; a DCB file that gives nothing is named there (and the day goes on without
// it). Unlike the pipeline, a day whose observation file is of another type, or whose
// navigation files give no ephemeris within a day of the observations, is not read. On
// kDayRead job.station and job.dayStartMjd are set.
int ReadDayFiles(DayJob& job, const DayFiles& files, RunLog& log);
