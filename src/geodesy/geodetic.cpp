#include "geodesy/geodetic.h"

#include <cmath>

namespace velarix {

namespace {
constexpr double kEccentricitySquared = 0.00669437999014132;
constexpr double kOneMinusEccentricitySquared = 0.9933056200098587;
constexpr double kSemiMinorAxis_m = 6356752.31424518;
constexpr double kHeightTolerance_m = 1e-4;
// The iteration converges in a handful of steps; the cap only stops non-finite input.
constexpr int kMaxIterations = 50;

double primeVerticalRadius_m(double sinLatitude) {
    return kWgs84SemiMajorAxis_m / std::sqrt(1.0 - kEccentricitySquared * sinLatitude * sinLatitude);
}
}  // namespace

EcefPosition geodeticToEcef(double latitude_deg, double longitude_deg, double height_m) {
    const double lat = latitude_deg * kDegreesToRadians;
    const double lon = longitude_deg * kDegreesToRadians;
    const double n = primeVerticalRadius_m(std::sin(lat));
    EcefPosition p;
    p.x_m = (n + height_m) * std::cos(lat) * std::cos(lon);
    p.y_m = (n + height_m) * std::cos(lat) * std::sin(lon);
    p.z_m = (n * (1.0 - kEccentricitySquared) + height_m) * std::sin(lat);
    return p;
}

void ecefToGeodeticRad(double x_m, double y_m, double z_m, double& latitude_rad, double& longitude_rad,
                       double& height_m) {
    if (x_m == 0.0 && y_m == 0.0) {
        latitude_rad = z_m >= 0.0 ? kHalfPi : -kHalfPi;
        longitude_rad = 0.0;
        height_m = std::abs(z_m) - kSemiMinorAxis_m;
        return;
    }
    const double p = std::sqrt(x_m * x_m + y_m * y_m);
    // atan2(Y, X) rather than the half-angle 2 atan2(Y, p + X), which gives 0 instead of
    // 180 degrees on that meridian (p + X = 0).
    longitude_rad = std::atan2(y_m, x_m);
    double lat = std::atan(z_m / (p * kOneMinusEccentricitySquared));
    double height = 0.0;
    for (int i = 0; i < kMaxIterations; ++i) {
        const double sinLat = std::sin(lat);
        const double n = primeVerticalRadius_m(sinLat);
        const double previous = height;
        height = p / std::cos(lat) - n;
        lat = std::atan(z_m / ((1.0 - kEccentricitySquared * n / (n + height)) * p));
        if (std::abs(height - previous) <= kHeightTolerance_m) break;
    }
    latitude_rad = lat;
    height_m = height;
}

GeodeticPosition ecefToGeodetic(double x_m, double y_m, double z_m) {
    double lat = 0.0, lon = 0.0;
    GeodeticPosition g;
    ecefToGeodeticRad(x_m, y_m, z_m, lat, lon, g.height_m);
    g.latitude_deg = lat / kDegreesToRadians;
    g.longitude_deg = lon / kDegreesToRadians;
    return g;
}

}  // namespace velarix
