#include <cmath>

#include "geodesy/time.h"
#include "gnss/constants.h"
#include "gnss/orbits/orbit_models.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

constexpr double kGmGps_m3ps2 = 3.986005e14;  // also QZSS, IRNSS
constexpr double kGmGalileoBeiDou_m3ps2 = 3.986004418e14;
constexpr double kSin5Deg = 0.0871557427476582;
constexpr double kCos5Deg = 0.9961946980917455;

constexpr double kKeplerTolerance_rad = 1e-13;
constexpr int kKeplerMaxIterations = 30;

}  // namespace

// C01-C05 and, from BeiDou-3, C59-C63 are geostationary.
bool IsBeiDouGeo(int satNo) { return (satNo >= 401 && satNo <= 405) || (satNo >= 459 && satNo <= 463); }

double EccentricAnomaly(double meanAnomaly_rad, double eccentricity, int& iterations) {
    iterations = 0;
    double e_rad = meanAnomaly_rad;
    if (std::abs(meanAnomaly_rad) <= kKeplerTolerance_rad) return e_rad;
    while (iterations < kKeplerMaxIterations) {
        ++iterations;
        const double delta = (e_rad - eccentricity * std::sin(e_rad) - meanAnomaly_rad) /
                             (1.0 - eccentricity * std::cos(e_rad));
        e_rad -= delta;
        if (std::abs(delta) <= kKeplerTolerance_rad) break;
    }
    return e_rad;
}

bool KeplerPosition(const KeplerEphemeris& k, double mjd, SatState& state) {
    state = SatState{};
    if (!(k.semiMajorAxis_m > 0.0)) return false;
    const int system = systemOf(k.satNo);
    const double gm = (system == kGalileo || system == kBeiDou) ? kGmGalileoBeiDou_m3ps2 : kGmGps_m3ps2;
    const double omegaE = system == kBeiDou ? kEarthRotationBeiDou_radps : kEarthRotation_radps;

    const double a = k.semiMajorAxis_m;
    const double e = k.eccentricity;
    const double tk = (mjd - k.toeMjd) * kSecondsPerDay;
    const double n = std::sqrt(gm / (a * a * a)) + k.deltaN_radps;
    int iterations = 0;
    const double eccentricAnomaly = EccentricAnomaly(k.meanAnomaly_rad + n * tk, e, iterations);
    const double sinE = std::sin(eccentricAnomaly);
    const double cosE = std::cos(eccentricAnomaly);

    const double nu = std::atan2(std::sqrt(1.0 - e * e) * sinE, cosE - e);
    const double phi = nu + k.argPerigee_rad;
    const double sin2Phi = std::sin(2.0 * phi);
    const double cos2Phi = std::cos(2.0 * phi);
    const double u = phi + k.cuc_rad * cos2Phi + k.cus_rad * sin2Phi;
    const double r = a * (1.0 - e * cosE) + k.crc_m * cos2Phi + k.crs_m * sin2Phi;
    const double inclination = k.i0_rad + k.idot_radps * tk + k.cic_rad * cos2Phi + k.cis_rad * sin2Phi;
    const double xOrbit = r * std::cos(u);
    const double yOrbit = r * std::sin(u);

    const bool geo = IsBeiDouGeo(k.satNo);
    // GEO elements are given in an inertial-like frame: the Earth's rotation is applied
    // after the 5-degree tilt instead of inside the node longitude.
    const double node = geo ? k.omega0_rad + k.omegaDot_radps * tk - omegaE * k.toe_sow
                            : k.omega0_rad + (k.omegaDot_radps - omegaE) * tk - omegaE * k.toe_sow;
    const double sinNode = std::sin(node), cosNode = std::cos(node);
    const double sinI = std::sin(inclination), cosI = std::cos(inclination);
    const double x = xOrbit * cosNode - yOrbit * cosI * sinNode;
    const double y = xOrbit * sinNode + yOrbit * cosI * cosNode;
    const double z = yOrbit * sinI;
    if (geo) {
        const double psi = omegaE * tk;
        const double sinPsi = std::sin(psi), cosPsi = std::cos(psi);
        const double yTilted = kCos5Deg * y - kSin5Deg * z;
        state.x_m = cosPsi * x + sinPsi * yTilted;
        state.y_m = -sinPsi * x + cosPsi * yTilted;
        state.z_m = kSin5Deg * y + kCos5Deg * z;
    } else {
        state.x_m = x;
        state.y_m = y;
        state.z_m = z;
    }

    const double dt = (mjd - k.tocMjd) * kSecondsPerDay;
    state.clockOffset_s = k.af0_s + k.af1_sps * dt + k.af2_sps2 * dt * dt -
                          2.0 * std::sqrt(gm * a) * e * sinE / kSpeedOfLightSquared_m2ps2;
    // A corrupt record (an eccentricity of 1 or more, an element not a number) would place
    // the satellite at "nan" in the geometry and the products.
    if (!std::isfinite(state.x_m) || !std::isfinite(state.y_m) || !std::isfinite(state.z_m) ||
        !std::isfinite(state.clockOffset_s)) {
        state = SatState{};
        return false;
    }
    return true;
}

}  // namespace velarix
