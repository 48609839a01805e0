#pragma once
// Bias-SINEX files (".BIA", ".BSX"): the differential code biases that today's analysis
// centres publish (CAS, DLR, GFZ, CODE; daily or monthly) in place of CODE's old monthly
// P1P2/P1C1 files. Read into the same DcbTable, in the sign convention of CODE's files
// (a DCB "X-Y" is the bias of X minus the bias of Y):
//   p1p2[prn]  = C1W-C2W; else (C1C-C2W) - (C1C-C1W)
//   p1c1[prn]  = C1W-C1C = -(C1C-C1W)
//   receiverP1p2[SITE] = the station's C1W-C2W; else (C1C-C2W) - (C1C-C1W); else
//                the station's C1C-C2W as it stands (the pair a receiver without P1
//                tracks; the satellites' P1-C1 still comes off the code TEC)
// SITE is the first four characters of the file's station name, in capitals, as the
// stations of CODE's files are named. Relative entries (DSB) are taken as they are;
// absolute ones (OSB) give a DSB as the difference of the two observables' biases.
// Entries of other systems, other observables, ISB entries and phase biases are skipped
// without a message. When an owner has several entries of one kind (time-dependent
// solutions), the last one in the file is taken.
#include <string>

#include "gnss/bias/dcb_table.h"
#include "platform/run_log.h"

namespace velarix {

enum class BiasSinexStatus {
    kRead,            // at least one GPS satellite P1-P2 value
    kCannotOpen,
    kNotRegularFile,  // a directory, FIFO or device
    kNotBiasSinex,    // the first line is not "%=BIA" or "%=BSX"
    kNoGpsBias,       // a Bias-SINEX file without a usable GPS satellite P1-P2 value
};

struct BiasSinexCounts {
    int satellitesP1p2 = 0;  // GPS satellites given a P1-P2 value
    int satellitesP1c1 = 0;  // GPS satellites given a P1-C1 value
    int stations = 0;        // stations given a receiver P1-P2 value
    long badLines = 0;       // solution lines that did not read (reported with their line number)
};

// Reads the plain file at `path` into `table` (not cleared first; the satellite values it
// gives replace those already there). Sets DcbTable::kP1p2Loaded when it gave a P1-P2
// value, kP1c1Loaded when it gave a P1-C1 value. A malformed solution line is reported to
// `log` with its line number (at most MessageLimiter::kShownPerKind of them) and skipped.
[[nodiscard]] BiasSinexStatus ReadBiasSinexFile(const std::string& path, DcbTable& table, RunLog& log,
                                                BiasSinexCounts* counts = nullptr);

// The run-log line for a file that gave nothing, naming it; empty for kRead.
std::string BiasSinexProblem(const std::string& path, BiasSinexStatus status);

}  // namespace velarix
