#pragma once
// The station's published receiver DCB for the "dcb" calibration.
#include <optional>
#include <string>

#include "gnss/bias/bias_estimation.h"
#include "gnss/day_job.h"
#include "platform/run_log.h"

namespace velarix {

// The P1-P2 DCB of the day's station (job.context.stationCode): from the receiver rows of
// the DCB files read (job.dcb; a row whose name begins with the station code), else from the station rows in the header of CODE's IONEX
// map of the same day beside the data (codgDDD0.YYi, plain, .Z or gzip). Nothing when
// neither lists the station; the caller then falls back to the minimum spread.
std::optional<ReceiverDcb> FindReceiverDcb(const DayJob& job, const std::string& dataDirectory, RunLog& log);

// "codg0010.20i": the name of CODE's IONEX map of a day.
std::string CodeIonexName(int year, int dayOfYear);

}  // namespace velarix
