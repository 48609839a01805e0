#pragma once
// The three broadcast orbit models, each evaluated for one record at one instant:
// position and clock offset only (SatellitePosition adds velocity and drift by
// differencing). Separate from orbit.h so that tests can reach the models' details.
#include <vector>

#include "gnss/orbits/orbit.h"

namespace velarix {

// Eccentric anomaly (rad) from the mean anomaly by Newton's iteration (|dE| <= 1e-13 or
// 30 iterations; none when |M| <= 1e-13). `iterations` receives the count made.
double EccentricAnomaly(double meanAnomaly_rad, double eccentricity, int& iterations);

// Keplerian systems (GPS, Galileo, BeiDou, QZSS, IRNSS) with the system's GM and Earth
// rotation rate; BeiDou GEO satellites through their inclined reference frame. True and
// `state` filled; false (and a zeroed state) for a record without a usable orbit
// (semi-major axis not positive, or elements that give no finite position or clock).
[[nodiscard]] bool KeplerPosition(const KeplerEphemeris& record, double mjd, SatState& state);

// GLONASS: the reference state integrated to `mjd` by fourth-order Runge-Kutta in 60 s
// steps (the last one shortened). `stepsTaken_s`, when given, receives the steps.
void GlonassPosition(const GlonassEphemeris& record, double mjd, SatState& state,
                     std::vector<double>* stepsTaken_s = nullptr);

// SBAS: quadratic extrapolation of the broadcast state.
void SbasPosition(const SbasEphemeris& record, double mjd, SatState& state);

// BeiDou satellites broadcast in the GEO frame (inclined by 5 degrees).
bool IsBeiDouGeo(int satNo);

}  // namespace velarix
