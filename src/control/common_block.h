#pragma once
// The processing that follows the reading of a day, shared by the RINEX job and the
// command files: TEC, S4, the biases and their summary in the log, then the plots and
// products. The two differ in the table the TEC comes from, in a receiver bias that a
// command file may give, and in how the CMN and bias summary files are named.
#include <functional>
#include <string>
#include <vector>

#include "control/rinex_job.h"
#include "gnss/bias/bias_estimation.h"

namespace velarix {

struct CommonBlockSteps {
    std::size_t observedSatellites = 0;  // satellites of the table the TEC comes from
    const char* fewSatellitesText = "";  // the message when they are fewer than 4
    std::function<int(DayJob&, RunLog&)> deriveTec;  // 0 when the TEC passes ran
    BiasOptions bias;
    DayStage lastStage = DayStage::kProducts;
    // "": every product named by the day; else the CMN and bias summary files are this
    // path plus ".cmn" and ".Bias".
    std::string productBase;
};

// kDone, or the reason the day ended: fewer than 4 satellites, no TEC, the
// receiver bias out of bounds, products that could not be written.
[[nodiscard]] RinexDayResult RunCommonBlock(DayJob& job, const DayEnvironment& environment,
                                            const CommonBlockSteps& steps, RunLog& log,
                                            std::vector<std::string>* written);

}  // namespace velarix
