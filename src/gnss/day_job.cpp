#include "gnss/day_job.h"

#include "geodesy/geodetic.h"

void CurrentFileContext::reset(const std::string& path) {
    *this = CurrentFileContext{};
    const size_t slash = path.rfind('/');
    dataDirectory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void StationPosition::setFromEcef(double x, double y, double z) {
    x_m = x;
    y_m = y;
    z_m = z;
    const GeodeticPosition g = ecefToGeodetic(x, y, z);
    latitude_deg = g.latitude_deg;
    longitude_deg = g.longitude_deg < 0.0 ? g.longitude_deg + 360.0 : g.longitude_deg;
    height_m = g.height_m;
}
