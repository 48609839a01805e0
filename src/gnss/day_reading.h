#pragma once
// Reading one station-day into a DayJob: the DCB files, the navigation files and the
// observation files of the day, then the station position, the currency of the
// ephemerides and the processing day. The RINEX job calls it once per day, after finding
// and expanding the files (control/rinex_job.h); the tools go through that job too.
#include <string>
#include <vector>

#include "gnss/day_job.h"
#include "platform/line_reader.h"
#include "platform/run_log.h"
#include "platform/status_code.h"

namespace velarix {

// One observation file read into the job ahead of the day's other files (the RINEX job
// reads a compressed file as it is decoded): whether it gave epochs, and the messages of
// the read, kept for their place in the log after the navigation file's.
struct ObservationRead {
    bool read = false;
    RunLog log;
};

// Reads the observation file that `in` holds, named `name` in the messages, into job.obs
// and job.obsHeader, as ReadDayFiles reads each file.
[[nodiscard]] ObservationRead ReadObservationFile(DayJob& job, LineReader& in, const std::string& name);

// Plain (expanded) files of the day; an empty DCB path is skipped.
struct DayFiles {
    std::vector<std::string> observationPaths;  // the day's files (one daily file, or its sessions)
    std::vector<std::string> navigationPaths;
    std::string p1c1Path;
    std::string p1p2Path;
    std::string p1p2AllPath;
    std::string biasSinexPath{};  // a Bias-SINEX file, read after CODE's files (may go unnamed)
    std::vector<ObservationRead> observationsRead{};  // read already, before any of observationPaths
};

enum class DayReadResult {
    kRead = 0,
    kObservationFailed = -2,  // no observation file gave an epoch
    kNavigationFailed = -4,   // a navigation file could not be opened, none gave an ephemeris, or
                              // no observed satellite has a current one (a file of another day)
    kNoStationPosition = -7,  // neither the catalogue, the header nor the solution gave a position
};

// Reads the files into `job`, which the caller has begun (DayJob::beginFile/beginDay) and
// whose station position holds the catalogue's when the station is listed. Reports to
// `log` with the pipeline's messages:
// - a DCB file that gives nothing is named (the day goes on without it);
// - each observation file is checked (first line), read and judged: one that cannot be
//   opened, is no observation file, lacks the observables for TEC or holds no epoch is
//   named in `log.errors` and left out; the day fails only when every file failed. Only
//   the observables the day's stages take are stored (ObsKeep::kTecOnly);
// - the header's position replaces the catalogue's; with neither, the position solution;
// - observed satellites whose ephemerides are all out of date at some of their epochs are
//   listed; when no observed satellite has a current ephemeris, the day fails;
// - job.dayStartMjd is the calendar day that holds most of the epochs.
[[nodiscard]] DayReadResult ReadDayFiles(DayJob& job, const DayFiles& files, RunLog& log);

// The pieces of ReadDayFiles that the command files' reading shares:
// Reads the DCB files of `files` (those named); each file that gave nothing is named in
// the log and the error log, and the day goes on without it.
void ReadDayDcb(DayJob& job, const DayFiles& files, RunLog& log);
// Reads the navigation files in order; false when one cannot be opened or none gave an
// ephemeris.
bool ReadNavigationFiles(DayJob& job, const std::vector<std::string>& paths, RunLog& log);
// ReadDayFiles' judgement of the ephemerides, for the satellites of job.receiverObs.
bool ReceiverEphemeridesCurrent(const DayJob& job, RunLog& log);

// The MJD of the calendar day that holds most of the distinct epochs of satellites with
// at least 5 records (the earlier day on a tie); 0 when there is none.
double ProcessingDayMjd(const ObsTable& obs);

}  // namespace velarix
