#pragma once
// Real station-days of the shared data, read and calibrated as `velarix-tools tec
// --calibrated` does it, once per test program.
#include <string>

#include "gnss/day_job.h"

struct RealDay {
    std::string folder;        // the set's folder, ending in '/'
    DayJob job;                // calibrated
    TecTable uncalibrated;     // job.tec before the bias stage
    int biasResult = 0;
    std::string log;
};

// BJFS 2020-001 (set1) and CAT2 2016-001 (set3); nullptr without the shared data (the
// test then skips). A day that cannot be read fails the calling test.
const RealDay* BjfsDay();
const RealDay* Cat2Day();
