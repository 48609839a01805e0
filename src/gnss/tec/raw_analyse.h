#pragma once
// TEC derivation ("RAW analyse"): the day's dual-frequency observations into TecTable.
// Pass 1 derives code and phase TEC and the geometry of every epoch and repairs cycle
// slips in each satellite's phase series; pass 2 levels phase to code arc by arc.
#include "gnss/day_job.h"
#include "gnss/tec/tec_passes.h"
#include "platform/run_log.h"

namespace velarix {

// What becomes of job.obs once the TEC is derived.
enum class ObservationsAfterTec {
    kKept,
    // Pass 1 releases the pool's blocks as it goes through them (the day's TEC and its
    // observations are never held whole together), then the records: job.obs keeps its
    // TEC selection, position and read status only. For a caller that reads it no more.
    kReleased,
};

// Empties job.tec and fills it from job.obs, job.ephemerides, job.dcb and job.station;
// sets job.dataInterval_s and job.phaseSign. kDone when both passes ran; kNoInterval when
// the data interval could not be established (job.tec stays empty, job.dataInterval_s is -1).
[[nodiscard]] TecPassResult RawAnalyse(DayJob& job, RunLog& log, const ProgressText& progress = {},
                                       ObservationsAfterTec after = ObservationsAfterTec::kKept);

}  // namespace velarix
