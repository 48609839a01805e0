#pragma once
// WGS-84 geodetic <-> Earth-centred Earth-fixed conversions for station positions.

#include "gnss/constants.h"

namespace velarix {

constexpr double kWgs84SemiMajorAxis_m = 6378137.0;
constexpr double kWgs84Flattening = 1.0 / 298.257223563;

struct EcefPosition {
    double x_m = 0.0;
    double y_m = 0.0;
    double z_m = 0.0;
};

struct GeodeticPosition {
    double latitude_deg = 0.0;
    double longitude_deg = 0.0;  // -180..180
    double height_m = 0.0;       // above the ellipsoid
};

EcefPosition geodeticToEcef(double latitude_deg, double longitude_deg, double height_m);

// Iterative inverse (latitude and height iterated until the height changes by at most
// 0.1 mm). A point on the polar axis (X = Y = 0, the Earth's centre included) gets
// latitude +-90 (+ for Z >= 0), longitude 0 and height |Z| - b.
GeodeticPosition ecefToGeodetic(double x_m, double y_m, double z_m);
// The same in radians (longitude -pi..pi): the one algorithm behind both.
void ecefToGeodeticRad(double x_m, double y_m, double z_m, double& latitude_rad, double& longitude_rad,
                       double& height_m);

}  // namespace velarix
