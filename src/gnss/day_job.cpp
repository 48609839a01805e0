#include "gnss/day_job.h"

#include "geodesy/geodetic.h"

namespace velarix {

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

void StationPosition::setFromGeodetic(double latitude, double longitude, double height) {
    const EcefPosition ecef = geodeticToEcef(latitude, longitude, height);
    setFromEcef(ecef.x_m, ecef.y_m, ecef.z_m);
}

void DayJob::beginFile(const std::string& path) {
    context.reset(path);
    kinds.clear();
    beginDay();
}

void DayJob::beginDay() {
    obs.clear();
    obsHeader.reset();
    receiverObs.clear();
    ephemerides.clear();
    navHeader = NavHeader{};
    dcb.clear();
    tec.clear();
    station = StationPosition{};
    bias.clear();
    s4.clear();
    dataInterval_s = -1.0;
    dayStartMjd = 0.0;
    phaseSign = 1.0;
    mapping = IonoMapping::kThinShell;
}

}  // namespace velarix
