#pragma once
// TEC derivation of the receiver-format path: the GPS observations of job.receiverObs
// into TecTable, with the same two passes as the RINEX path (tec_passes.h). It differs in
// what it reads: GPS satellites 1-32 only; one code pair for the whole table, chosen from
// the observables most epochs carry; and fixed GPS constants (L1 1.57542 GHz, L2 1.2276
// GHz, 2.852 TECU per ns) instead of the frequency table.
#include "gnss/constants.h"
#include "gnss/day_job.h"
#include "gnss/tec/tec_passes.h"
#include "platform/run_log.h"
#include "platform/status_code.h"
#include "rinex/receiver_obs_table.h"

namespace velarix {

enum class ReceiverCodePair { kP1P2, kC1P2, kC1C2, kNone };

// P1 with P2 when P1, P2, L1 and L2 are present in more than half of the records; else
// C1 with P2 when C1, P2, L1 and L2 are; else C1 with C2 when C1, C2, L1 and L2 are; else
// none. A GSV4004 receiver (its type names it) always gives C1 with P2.
ReceiverCodePair ChooseReceiverCodePair(const ReceiverObsTable& table);

// How the derivation ended; the numbers are those of the run log ("err = %d").
enum class ReceiverTecResult {
    kDone = 0,
    kNoInterval = -1,     // no usable data interval; job.tec stays empty
    kNoObservables = -2,  // no code pair with both phases; job.tec stays empty
};

// Empties job.tec and fills it from job.receiverObs, job.ephemerides, job.dcb (its P1-C1
// biases when C1 stands in for P1) and job.station; sets job.dataInterval_s and
// job.phaseSign.
[[nodiscard]] ReceiverTecResult RawAnalyseReceiver(DayJob& job, RunLog& log, const ProgressText& progress = {});

}  // namespace velarix
