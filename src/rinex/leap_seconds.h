#pragma once
// GPS-UTC leap seconds. GLONASS broadcast times are UTC; the tables hold GPS time, so
// GLONASS epochs are moved by the leap seconds in force at that instant.
#include <array>

namespace velarix {

struct LeapSecondStep {
    int year;
    int month;
    int day;
    int gpsMinusUtc_s;  // in force from 00:00 UTC of that day
};

// The 18 steps since the GPS origin, newest first.
extern const std::array<LeapSecondStep, 18> kLeapSecondSteps;

// GPS-UTC in seconds at a UTC instant (MJD); 0 before the first step (1981-07-01).
int GpsUtcLeapSeconds(double utcMjd);

}  // namespace velarix
