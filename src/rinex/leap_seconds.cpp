#include "rinex/leap_seconds.h"

#include "geodesy/time.h"

namespace velarix {

const std::array<LeapSecondStep, 18> kLeapSecondSteps = {{
    {2017, 1, 1, 18},
    {2015, 7, 1, 17},
    {2012, 7, 1, 16},
    {2009, 1, 1, 15},
    {2006, 1, 1, 14},
    {1999, 1, 1, 13},
    {1997, 7, 1, 12},
    {1996, 1, 1, 11},
    {1994, 7, 1, 10},
    {1993, 7, 1, 9},
    {1992, 7, 1, 8},
    {1991, 1, 1, 7},
    {1990, 1, 1, 6},
    {1988, 1, 1, 5},
    {1985, 7, 1, 4},
    {1983, 7, 1, 3},
    {1982, 7, 1, 2},
    {1981, 7, 1, 1},
}};

int GpsUtcLeapSeconds(double utcMjd) {
    for (const LeapSecondStep& step : kLeapSecondSteps) {
        if (utcMjd >= MjdFromCivil(step.year, step.month, step.day, 0, 0, 0.0)) return step.gpsMinusUtc_s;
    }
    return 0;
}

}  // namespace velarix
