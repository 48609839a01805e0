#pragma once
// Receiver and satellite bias estimation ("rBias_Calc"): removes the satellites' P1-P2
// biases and the receiver bias (estimated in two stages) and a residual per-satellite
// bias from job.tec in place, and leaves the results in job.bias.
//
// Only GPS satellites 1..32 have a satellite bias here. Other satellites (GLONASS, SBAS,
// Galileo, BeiDou, IRNSS...) carry inter-frequency biases that nothing removes, so they
// take no part in the receiver-bias search, the 2-sigma curves or the interchannel
// biases; their records receive the receiver bias only.
#include <optional>
#include <string>

#include "gnss/bias/calibration.h"
#include "gnss/constants.h"
#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "platform/status_code.h"

namespace velarix {

// How the bias estimation ended; the numbers are those of the run log ("err = %d").
enum class BiasResult {
    kApplied = 0,
    kNoInterval = -1,   // no usable data interval; nothing changed
    kBinOverflow = -4,  // a 2-sigma bin overflowed
    kFewValues = -9,    // too few values for a 2-sigma curve (or for the receiver bias)
};

// A receiver's published P1-P2 DCB and the file it came from.
struct ReceiverDcb {
    double value_ns = 0.0;
    std::string source;
};

struct BiasOptions {
    // Which receiver bias sets the level: only kFloor adds the night-time lift of stage 2;
    // with the other choices vertical TEC is slant TEC times the mapping factor.
    Calibration calibration = Calibration::kFloor;
    // For kDcb: the station's published DCB; without one the bias is the minimum-spread one.
    std::optional<ReceiverDcb> receiverDcb;
    // A receiver bias known beforehand (TECU, e.g. the total of an earlier run of the same
    // station and day): it is applied as the stage-1 bias instead of being searched for,
    // and stage 2 adds nothing, since such a total already holds it.
    std::optional<double> givenRxBias_TECU;
};

// job.bias is cleared first; on kFewValues from the final pass job.tec already holds the
// calibrated values.
[[nodiscard]] BiasResult EstimateBiases(DayJob& job, RunLog& log, const BiasOptions& options = {});

// The bias summary that follows the bias stage in the run log: station (from
// job.context, or job.station when the context has no position), the biases applied per
// PRN (negated, so that they add to the calculated TEC), the receiver bias of both
// stages, the extreme averages and the sign.
std::string biasSummaryText(const DayJob& job);

}  // namespace velarix
