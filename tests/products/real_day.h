#pragma once
// Real station-days read and calibrated as `velarix-tools tec --calibrated` does it, with
// the station found in the IGS list as the job finds it; each built once per test program.
#include <string>

#include "gnss/bias/bias_estimation.h"
#include "gnss/day_job.h"

namespace velarix {

struct RealDay {
    std::string folder;        // the set's folder, ending in '/'
    DayJob job;                // calibrated
    TecTable uncalibrated;     // job.tec before the bias stage
    BiasResult biasResult = BiasResult::kApplied;
    std::string log;
};

// BJFS 2020-001 (the example day of examples/, always present) and CAT2 2016-001 (set3
// of the shared data: nullptr without it, and the test then skips). A day that cannot be
// read fails the calling test.
const RealDay* BjfsDay();
const RealDay* Cat2Day();

}  // namespace velarix
