#pragma once
// Finding and expanding the inputs of a RINEX day: its observation files, the day's
// navigation file and the month's DCB files. Compressed files are expanded into hidden
// scratch files of the work folder that live as long as their ExpandedFiles entry; the
// files found are only ever read.
#include <list>
#include <string>

#include "control/rinex_job.h"
#include "decompress/plain_copy.h"
#include "gnss/day_reading.h"

namespace velarix {

using ExpandedFiles = std::list<PlainCopy>;

// The plain form of observation file `path`, with the pipeline's messages: the file
// itself when it is plain, else its expansion in `workDirectory` (kept in `copies`).
// `compression` is the name's code (1 .Z or gzip, 2 Compact RINEX, 3 both) and chooses
// the messages. kDone (Compact RINEX warnings included), kExpandFailed or
// kCompactFailed; a failure is named in `log.errors`.
[[nodiscard]] RinexDayResult decompressInput(const std::string& path, int compression, const std::string& workDirectory,
                                             ExpandedFiles& copies, std::string& plainPath, RunLog& log);

// Reads observation file `path` into job.obs and job.obsHeader, a compressed one as it is
// decoded (decompress/decode_stream.h: no expanded copy), with decompressInput's messages
// in `log` and the read's own in `read` (see ObservationRead). When the decoding fails,
// what the read put into the tables is the caller's to undo.
[[nodiscard]] RinexDayResult readObservationInput(const std::string& path, int compression, DayJob& job,
                                                  ObservationRead& read, RunLog& log);

// Finds the day's navigation file (day of `dayMjd`, names matched by their date) in
// request.dataDirectory and the month's DCB files, expands them and puts their plain
// paths into `files`. A missing file is asked of the download, then searched for again;
// a navigation archive that does not expand is passed over for the next file of the day
// in a second round. kDone, kNoNavigation or kNoDcb (never for 1994 to 1997,
// for which CODE published no P1-P2 biases: the day goes on without).
[[nodiscard]] RinexDayResult locateNavAndDcb(const DayRequest& request, const DayEnvironment& environment,
                                             double dayMjd, ExpandedFiles& copies, DayFiles& files, RunLog& log);

// The caller's navigation and DCB files, expanded as needed, into `files`. kDone, or
// kExpandFailed when one of them does not expand.
[[nodiscard]] RinexDayResult expandGivenFiles(const GivenDayFiles& given, const std::string& workDirectory,
                                              ExpandedFiles& copies, DayFiles& files, RunLog& log);

// The station list's position of the day's station (job.context.stationCode), the first of
// the position's sources (the header's replaces it); nothing when it is not listed.
void TakeCataloguePosition(const DayEnvironment& environment, DayJob& job);

}  // namespace velarix
