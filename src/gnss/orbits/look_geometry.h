#pragma once
// How the station sees a satellite: look angles, the ionospheric pierce point on a thin
// shell 350 km above a spherical Earth, and the slant-to-vertical mapping factor.

// WGS-84 latitude and longitude (rad) and height (m) of an Earth-fixed point.
void GeodeticFromEcef(double x_m, double y_m, double z_m, double& latitude_rad, double& longitude_rad,
                      double& height_m);

// Elevation and azimuth (rad, azimuth 0..2 pi) of a satellite seen from a station; 1 on
// success, 0 when the station's latitude is outside +-pi/2 (both outputs 0).
int LookAngles(double stationX_m, double stationY_m, double stationZ_m, double satX_m, double satY_m, double satZ_m,
               double& elevation_rad, double& azimuth_rad);

// Pierce-point latitude and longitude (deg; longitude plus 360 when negative).
void PiercePoint(double stationLatitude_deg, double stationLongitude_deg, double azimuth_rad, double elevation_rad,
                 double& ippLatitude_deg, double& ippLongitude_deg);

// Factor that turns slant TEC into vertical TEC: the cosine of the zenith angle at the
// pierce point.
double MappingFactor(double elevation_rad);
