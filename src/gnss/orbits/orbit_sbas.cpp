#include "gnss/orbits/orbit_models.h"
#include "geodesy/time.h"

namespace velarix {

void SbasPosition(const SbasEphemeris& s, double mjd, SatState& state) {
    state = SatState{};
    const double dt = (mjd - s.epochMjd) * kSecondsPerDay;
    state.x_m = s.x_m + s.vx_mps * dt + 0.5 * s.ax_mps2 * dt * dt;
    state.y_m = s.y_m + s.vy_mps * dt + 0.5 * s.ay_mps2 * dt * dt;
    state.z_m = s.z_m + s.vz_mps * dt + 0.5 * s.az_mps2 * dt * dt;
    state.clockOffset_s = s.af0_s + s.af1_sps * dt;
}

}  // namespace velarix
