#include "gnss/position_fixture.h"

#include <cmath>

namespace {
constexpr double kLight_mps = 299792458.0;
constexpr double kEarthRotation_radps = 7.292115147e-5;

double distance(const EcefPosition& a, const EcefPosition& b) {
    return std::hypot(a.x_m - b.x_m, a.y_m - b.y_m, a.z_m - b.z_m);
}
}  // namespace

EcefPosition satelliteSeenFrom(const EcefPosition& station, double elevation_deg, double azimuth_deg) {
    const GeodeticPosition g = ecefToGeodetic(station.x_m, station.y_m, station.z_m);
    const double lat = g.latitude_deg * kDegreesToRadians, lon = g.longitude_deg * kDegreesToRadians;
    const double el = elevation_deg * kDegreesToRadians, az = azimuth_deg * kDegreesToRadians;
    const double range = 2.0e7 + (90.0 - elevation_deg) * 5.0e4;
    const double east = range * std::cos(el) * std::sin(az);
    const double north = range * std::cos(el) * std::cos(az);
    const double up = range * std::sin(el);
    return {station.x_m - std::sin(lon) * east - std::sin(lat) * std::cos(lon) * north +
                std::cos(lat) * std::cos(lon) * up,
            station.y_m + std::cos(lon) * east - std::sin(lat) * std::sin(lon) * north +
                std::cos(lat) * std::sin(lon) * up,
            station.z_m + std::cos(lat) * north + std::sin(lat) * up};
}

EcefPosition turnedByTravel(const EcefPosition& station, const EcefPosition& sat) {
    const double angle = kEarthRotation_radps * distance(sat, station) / kLight_mps;
    return {sat.x_m * std::cos(angle) + sat.y_m * std::sin(angle), sat.y_m * std::cos(angle) - sat.x_m * std::sin(angle),
            sat.z_m};
}

double pseudorangeAt(const EcefPosition& station, const EcefPosition& sat, double clock_m, double satClock_s) {
    return distance(turnedByTravel(station, sat), station) + clock_m - kLight_mps * satClock_s;
}
