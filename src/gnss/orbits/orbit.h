#pragma once
// Where a satellite is: the broadcast ephemeris record for an instant and the satellite's
// Earth-fixed position, velocity and clock from it.
#include "rinex/ephemeris_table.h"

namespace velarix {

struct SatState {
    double x_m = 0.0, y_m = 0.0, z_m = 0.0;  // Earth-fixed
    double vx_mps = 0.0, vy_mps = 0.0, vz_mps = 0.0;
    double clockOffset_s = 0.0;
    double clockDrift_sps = 0.0;
};

// How far from its reference epoch (either way) a broadcast record is current: 4 h for
// the Keplerian systems (GPS, Galileo, BeiDou, QZSS, IRNSS), whose records are fitted over
// a few hours; 30 min for GLONASS and SBAS, whose records are states carried from their
// epoch by integration. A record farther away gives orbits kilometres off.
double EphemerisValidity_days(int satNo);

// Which records a position may come from: the nearest whatever its age (the inspection
// tools, which report the age themselves), or only a current one (the analysis).
enum class EphemerisUse { kNearestRecord, kCurrentRecord };

// The record to evaluate for `satNo` at `mjd`: the nearest reference epoch among all of the
// satellite's records (the earlier record on a tie, the first of several with the same
// epoch). At most one pointer is set; none when the satellite has no record in its family,
// `mjd` is not finite, or, under kCurrentRecord, the nearest record is not current.
struct SelectedEphemeris {
    const KeplerEphemeris* kepler = nullptr;
    const GlonassEphemeris* glonass = nullptr;
    const SbasEphemeris* sbas = nullptr;
};
SelectedEphemeris SelectEphemeris(const EphemerisTable& table, int satNo, double mjd,
                                  EphemerisUse use = EphemerisUse::kNearestRecord);

// True when the satellite has a record current at `mjd`.
bool HasCurrentEphemeris(const EphemerisTable& table, int satNo, double mjd);

// The first and last reference epochs (MJD) among the satellite's records; false when it
// has none.
bool EphemerisSpan(const EphemerisTable& table, int satNo, double& firstMjd, double& lastMjd);

// A GLONASS record is integrated at most this far from its reference epoch: 60 s steps
// over years (a time typed wrong, an observation file of another date) would take minutes
// per position, and a broadcast state a day old is kilometres off anyway.
constexpr double kMaxGlonassIntegration_days = 1.0;

// True and `state` filled (velocity and clock drift from a 1 ms difference); false (and a
// zeroed state) when the satellite has no ephemeris (under kCurrentRecord: no current
// one), its system no orbit model, the selected Keplerian record no orbit (semi-major
// axis not positive, or no finite position or clock), or the selected GLONASS record lies more than
// kMaxGlonassIntegration_days from `mjd`.
[[nodiscard]] bool SatellitePosition(const EphemerisTable& table, int satNo, double mjd, SatState& state,
                                     EphemerisUse use = EphemerisUse::kNearestRecord);

}  // namespace velarix
