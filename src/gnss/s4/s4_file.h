#pragma once
// The S4 text files this program reads: the S4 files of LISN stations and the S4 part of
// a SCINDA ".scn" recording, both in one simple layout:
//   Jdatet ...                      header line (the rest of the line is free text)
//   MJD  SAT  S4  [A  [B]]          one record per line, blank-separated
// MJD is the epoch in days; SAT a RINEX 3 satellite label ("G05", "R12") or a GPS PRN
// number ("5", "05"); S4 the index (-99 marks a missing value); A and B two optional
// numbers kept as the record's spare values (0 when absent), further columns ignored.
// Empty lines and repeated "Jdatet" header lines are skipped.
#include <string>

#include "gnss/s4/s4_state.h"
#include "platform/run_log.h"

namespace velarix {

enum S4FileResult {
    kS4FileNotOpened = -1,
    kS4FileNoHeader = -2,        // the first line does not begin with "Jdatet": not an S4 file
    kS4FileNotRegularFile = -3,  // a directory, FIFO or device
};

// Appends the file's records to `table` (per satellite number, in file order: epoch MJD,
// satellite number, S4, A, B). Lines that do not parse are skipped and reported to `log`
// with the file and line number. Returns the number of records read, or an S4FileResult.
int readS4File(const std::string& path, S4FileTable& table, RunLog& log);

}  // namespace velarix
