#include "gnss/orbits/look_geometry.h"

#include <algorithm>
#include <cmath>

#include "geodesy/geodetic.h"
#include "gnss/constants.h"

namespace velarix {

namespace {
constexpr double kEarthRadius_km = 6378.1363;
constexpr double kShellRadius_km = kEarthRadius_km + kThinShellHeight_km;
static_assert(kShellRadius_km == 6728.1363);
constexpr double kEarthToShellRatio = 0.9479796507689655;  // kEarthRadius_km / kShellRadius_km
constexpr double kMslmRatio = kMslmEarthRadius_km / (kMslmEarthRadius_km + kMslmShellHeight_km);

// asin of a value that rounding may carry just past +-1.
double clampedAsin(double v) { return std::asin(std::clamp(v, -1.0, 1.0)); }
}  // namespace

void GeodeticFromEcef(double x_m, double y_m, double z_m, double& latitude_rad, double& longitude_rad,
                      double& height_m) {
    ecefToGeodeticRad(x_m, y_m, z_m, latitude_rad, longitude_rad, height_m);
}

bool LookAngles(double stationX_m, double stationY_m, double stationZ_m, double satX_m, double satY_m, double satZ_m,
                double& elevation_rad, double& azimuth_rad) {
    elevation_rad = 0.0;
    azimuth_rad = 0.0;
    double lat = 0.0, lon = 0.0, height = 0.0;
    GeodeticFromEcef(stationX_m, stationY_m, stationZ_m, lat, lon, height);
    if (!(std::abs(lat) <= kHalfPi)) return false;

    const double dx = satX_m - stationX_m, dy = satY_m - stationY_m, dz = satZ_m - stationZ_m;
    const double sinLat = std::sin(lat), cosLat = std::cos(lat);
    const double sinLon = std::sin(lon), cosLon = std::cos(lon);
    const double north = -sinLat * cosLon * dx - sinLat * sinLon * dy + cosLat * dz;
    const double east = -sinLon * dx + cosLon * dy;
    const double up = cosLat * cosLon * dx + cosLat * sinLon * dy + sinLat * dz;
    elevation_rad = std::atan(up / std::sqrt(north * north + east * east));
    azimuth_rad = std::atan2(east, north);
    if (azimuth_rad < 0.0) azimuth_rad += 2.0 * kPi;
    return true;
}

void PiercePoint(double stationLatitude_deg, double stationLongitude_deg, double azimuth_rad, double elevation_rad,
                 double& ippLatitude_deg, double& ippLongitude_deg, IonoMapping mapping) {
    const double lat = stationLatitude_deg * kDegreesToRadians;
    // Earth-centred angle between the station and the pierce point; the MSLM's pierce
    // point is the geometric one on its shell (the zenith scale acts on the mapping only).
    const double ratio = mapping == IonoMapping::kMslm ? kMslmRatio : kEarthToShellRatio;
    const double psi = kHalfPi - elevation_rad - std::asin(ratio * std::cos(elevation_rad));
    const double ippLat =
        clampedAsin(std::sin(lat) * std::cos(psi) + std::cos(lat) * std::sin(psi) * std::cos(azimuth_rad));
    const double dLon = clampedAsin(std::sin(psi) * std::sin(azimuth_rad) / std::cos(ippLat));
    ippLatitude_deg = ippLat / kDegreesToRadians;
    ippLongitude_deg = stationLongitude_deg + dLon / kDegreesToRadians;
    if (ippLongitude_deg < 0.0) ippLongitude_deg += 360.0;
}

double MappingFactor(double elevation_rad, IonoMapping mapping) {
    if (mapping == IonoMapping::kMslm) {
        const double s = kMslmRatio * std::sin(kMslmZenithScale * (kHalfPi - elevation_rad));
        return std::sqrt(1.0 - s * s);
    }
    const double ratio = kEarthRadius_km * std::cos(elevation_rad) / kShellRadius_km;
    return std::sqrt(1.0 - ratio * ratio);
}

}  // namespace velarix
