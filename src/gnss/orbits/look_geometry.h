#pragma once

namespace velarix {
// How the station sees a satellite: look angles, the ionospheric pierce point on a thin
// shell above a spherical Earth, and the slant-to-vertical mapping factor.

// The single-layer model of the pierce points and of the mapping: the 350 km thin shell
// (the default), or the modified single-layer mapping of CODE's global maps (shell at
// 506.7 km above a 6371 km sphere, zenith angle scaled by 0.9782 in the mapping).
enum class IonoMapping { kThinShell, kMslm };

// WGS-84 latitude and longitude (rad) and height (m) of an Earth-fixed point.
void GeodeticFromEcef(double x_m, double y_m, double z_m, double& latitude_rad, double& longitude_rad,
                      double& height_m);

// Elevation and azimuth (rad, azimuth 0..2 pi) of a satellite seen from a station; true
// on success, false when the station's latitude is outside +-pi/2 (both outputs 0).
[[nodiscard]] bool LookAngles(double stationX_m, double stationY_m, double stationZ_m, double satX_m, double satY_m,
                              double satZ_m, double& elevation_rad, double& azimuth_rad);

// Pierce-point latitude and longitude (deg; longitude plus 360 when negative).
void PiercePoint(double stationLatitude_deg, double stationLongitude_deg, double azimuth_rad, double elevation_rad,
                 double& ippLatitude_deg, double& ippLongitude_deg, IonoMapping mapping = IonoMapping::kThinShell);

// Factor that turns slant TEC into vertical TEC: the cosine of the zenith angle at the
// pierce point (for the MSLM, of the scaled zenith angle).
double MappingFactor(double elevation_rad, IonoMapping mapping = IonoMapping::kThinShell);

}  // namespace velarix
