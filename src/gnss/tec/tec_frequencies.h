#pragma once
// Carrier frequencies of the RINEX bands and the factor that turns a dual-frequency
// delay difference in nanoseconds into TEC units.

#include "gnss/constants.h"

namespace velarix {

// Nominal carrier frequency (Hz) of a system's RINEX band; 0 for a combination without
// one. GLONASS bands 1 and 2 are the nominal frequencies of channel 0.
double CarrierFrequency_Hz(int systemCode, int band);

// TECU per nanosecond of (second - first) delay difference for the carriers f1 and f2
// (2.8539 for GPS L1/L2); 0 when the pair cannot give TEC (a missing or repeated
// frequency).
double TecPerNanosecond(double f1_Hz, double f2_Hz);

}  // namespace velarix
