#pragma once

namespace velarix {
// The physical and numeric constants of the analysis, each defined once, in themed blocks
// sorted by name. Values are written with the digits the results were computed with:
// changing a last digit changes the products.

// --- Angles ---
constexpr double kDegreesToRadians = 0.017453292519943295;  // pi / 180
constexpr double kHalfPi = 1.57079632679489661923;
constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansToDegrees = 57.29577951308232;  // 180 / pi, for products multiplied by it
static_assert(kHalfPi == kPi / 2.0);

// --- Earth rotation ---
constexpr double kEarthRotationBeiDou_radps = 7.292115e-5;  // CGCS2000, BeiDou's broadcast orbits
// WGS-84 (IS-GPS-200), the broadcast orbits of GPS, Galileo, QZSS and IRNSS.
constexpr double kEarthRotation_radps = 7.2921151467e-5;
// The rotation of the Earth during a signal's travel in the position solution, rounded
// one digit shorter than kEarthRotation_radps; the solved positions were made with it.
constexpr double kEarthRotationInTravel_radps = 7.292115147e-5;

// --- Ionosphere ---
// Height of the single-layer shell of the pierce points and the mapping function. The
// global ionosphere maps (CODE, IGS) use 450 km: the vertical TEC of a low elevation
// differs from theirs for that reason alone.
constexpr double kThinShellHeight_km = 350.0;
// The modified single-layer mapping (MSLM) of CODE's global ionosphere maps: the shell
// height and the factor that scales the zenith angle, as their IONEX headers state.
constexpr double kMslmShellHeight_km = 506.7;
constexpr double kMslmZenithScale = 0.9782;
// The Earth radius of the MSLM (the maps' BASE RADIUS).
constexpr double kMslmEarthRadius_km = 6371.0;

// --- Speed of light ---
constexpr double kMetresPerNanosecond = 0.299792458;
constexpr double kSpeedOfLight_mps = 299792458.0;
constexpr double kSpeedOfLightSquared_m2ps2 = 89875517873681760.0;

// --- TEC ---
// The ionospheric delay constant: a delay of 40.3 / f^2 metres per electron per m^2.
constexpr double kIonosphericDelay_m3ps2 = 40.3;
// TECU per nanosecond of GPS P1-P2 delay difference, fixed at 2.852 where the satellites'
// DCB values are turned into TEC and for the receiver-format path. The L1 and L2
// frequencies give 2.8539 (TecPerNanosecond), which the RINEX path uses for the TEC
// itself; 2.852 is kept where it was used so that the biases and the receiver-format
// products stay those published.
constexpr double kTecuPerNsP1P2 = 2.852;

}  // namespace velarix
