#include "gnss/geodetic.h"

#include <cmath>

namespace {
constexpr double kEccentricitySquared = kWgs84Flattening * (2.0 - kWgs84Flattening);

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

GeodeticPosition ecefToGeodetic(double x_m, double y_m, double z_m) {
    GeodeticPosition g;
    const double p = std::hypot(x_m, y_m);
    g.longitude_deg = (p > 0.0) ? std::atan2(y_m, x_m) / kDegreesToRadians : 0.0;
    if (p == 0.0 && z_m == 0.0) {
        g.height_m = -kWgs84SemiMajorAxis_m;
        return g;
    }
    double lat = std::atan2(z_m, p * (1.0 - kEccentricitySquared));
    double height = 0.0;
    for (int i = 0; i < 10; ++i) {
        const double sinLat = std::sin(lat);
        const double n = primeVerticalRadius_m(sinLat);
        // Near the poles cos(lat) -> 0: take the height along z there.
        height = (std::abs(std::cos(lat)) > 1e-10) ? p / std::cos(lat) - n
                                                    : std::abs(z_m) - n * (1.0 - kEccentricitySquared);
        lat = std::atan2(z_m, p * (1.0 - kEccentricitySquared * n / (n + height)));
    }
    g.latitude_deg = lat / kDegreesToRadians;
    g.height_m = height;
    return g;
}
