#include <array>
#include <cmath>

#include "gnss/orbits/orbit_models.h"
#include "geodesy/time.h"

namespace velarix {

namespace {

constexpr double kGm_m3ps2 = 3.9860044e14;
constexpr double kJ2Term = 2.633267117769225e25;  // 1.5 J2 GM ae^2
constexpr double kOmegaSquared = 5.3174941173225e-9;
constexpr double kTwoOmega = 0.0001458423;
constexpr double kStep_s = 60.0;
constexpr double kTimeTolerance_s = 1e-9;

using Vector6 = std::array<double, 6>;  // x, y, z (m), vx, vy, vz (m/s)

// Time derivative of the state in the rotating PZ-90 frame: central field with J2,
// centrifugal and Coriolis terms and the broadcast luni-solar acceleration.
Vector6 derivative(const Vector6& s, const GlonassEphemeris& g) {
    const double r2 = s[0] * s[0] + s[1] * s[1] + s[2] * s[2];
    Vector6 d{s[3], s[4], s[5], 0.0, 0.0, 0.0};
    if (!(r2 > 0.0)) return d;
    const double r = std::sqrt(r2);
    const double r3 = r2 * r;
    const double r5 = r3 * r2;
    const double z2OverR2 = s[2] * s[2] / r2;
    const double radial = -kGm_m3ps2 / r3 - kJ2Term * (1.0 - 5.0 * z2OverR2) / r5;
    d[3] = (radial + kOmegaSquared) * s[0] + kTwoOmega * s[4] + g.ax_mps2;
    d[4] = (radial + kOmegaSquared) * s[1] - kTwoOmega * s[3] + g.ay_mps2;
    d[5] = (-kGm_m3ps2 / r3 - kJ2Term * (3.0 - 5.0 * z2OverR2) / r5) * s[2] + g.az_mps2;
    return d;
}

Vector6 plus(const Vector6& s, const Vector6& d, double h) {
    Vector6 out;
    for (size_t i = 0; i < out.size(); ++i) out[i] = s[i] + d[i] * h;
    return out;
}

Vector6 rungeKuttaStep(const Vector6& s, double h, const GlonassEphemeris& g) {
    const Vector6 k1 = derivative(s, g);
    const Vector6 k2 = derivative(plus(s, k1, h / 2.0), g);
    const Vector6 k3 = derivative(plus(s, k2, h / 2.0), g);
    const Vector6 k4 = derivative(plus(s, k3, h), g);
    Vector6 out;
    for (size_t i = 0; i < out.size(); ++i) out[i] = s[i] + h / 6.0 * (k1[i] + 2.0 * k2[i] + 2.0 * k3[i] + k4[i]);
    return out;
}

}  // namespace

void GlonassPosition(const GlonassEphemeris& g, double mjd, SatState& state, std::vector<double>* stepsTaken_s) {
    state = SatState{};
    const double dt = (mjd - g.epochMjd) * kSecondsPerDay;
    state.clockOffset_s = g.gammaN * dt - g.tauN_s;

    Vector6 s{g.x_m, g.y_m, g.z_m, g.vx_mps, g.vy_mps, g.vz_mps};
    const double fullStep = dt < 0.0 ? -kStep_s : kStep_s;
    double remaining = dt;
    // A non-finite interval is not integrated: the reference state is the answer.
    while (std::isfinite(remaining) && std::abs(remaining) > kTimeTolerance_s) {
        const double h = std::abs(remaining) < kStep_s ? remaining : fullStep;
        s = rungeKuttaStep(s, h, g);
        remaining -= h;
        if (stepsTaken_s != nullptr) stepsTaken_s->push_back(h);
    }
    state.x_m = s[0];
    state.y_m = s[1];
    state.z_m = s[2];
}

}  // namespace velarix
