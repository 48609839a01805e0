// Geodetic conversions, look angles and pierce points.
#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/geodetic.h"
#include "gnss/orbits/look_geometry.h"

namespace velarix {

namespace {
constexpr double kA = 6378137.0;
constexpr double kB = 6356752.31424518;  // WGS-84 semi-minor axis a(1 - f)
}  // namespace

TEST(Geometry, GeodeticRoundTripsPolesAntimeridianLookAnglesPiercePointsAndMapping) {
    // IGS BJFS: APPROX POSITION XYZ of bjfs0010.20o and the IGS list's 39.609 N 115.892 E 87.8 m.
    const GeodeticPosition bjfs = ecefToGeodetic(-2148744.6531, 4426641.5827, 4044656.5218);
    EXPECT_NEAR(bjfs.latitude_deg, 39.609, 0.0006);
    EXPECT_NEAR(bjfs.longitude_deg, 115.892, 0.0006);
    EXPECT_NEAR(bjfs.height_m, 87.8, 1.0);
    for (double lat : {-90.0, -89.9999, -0.5, 12.3, 90.0}) {
        for (double lon : {-179.5, 0.0, 115.9, 180.0}) {
            for (double h : {-100.0, 3500.0, 20200e3}) {
                const EcefPosition p = geodeticToEcef(lat, lon, h);
                const GeodeticPosition g = ecefToGeodetic(p.x_m, p.y_m, p.z_m);
                const double dLon_deg = std::abs(lat) < 90.0 ? std::remainder(g.longitude_deg - lon, 360.0) : 0.0;
                EXPECT_NEAR(g.latitude_deg, lat, 1e-9) << lat << " " << lon << " " << h;
                EXPECT_NEAR(g.height_m, h, 1e-3) << lat << " " << lon << " " << h;
                EXPECT_NEAR(dLon_deg, 0.0, 1e-9) << lat << " " << lon << " " << h;
            }
        }
    }
    // The polar axis, the centre included: latitude +-90, height |Z| - b.
    double lat = 1.0, lon = 1.0, h = 1.0;
    GeodeticFromEcef(0.0, 0.0, -kB - 20.0, lat, lon, h);
    EXPECT_TRUE(lat == -M_PI / 2.0 && std::abs(h - 20.0) < 1e-9) << lat << " " << h;
    const GeodeticPosition centre = ecefToGeodetic(0.0, 0.0, 0.0);
    EXPECT_TRUE(centre.latitude_deg == 90.0 && centre.height_m == -kB) << centre.height_m;
    // On the 180-degree meridian (Y = 0, X < 0) the longitude is pi, not 0.
    GeodeticFromEcef(-kA - 5.0, 0.0, 0.0, lat, lon, h);
    EXPECT_NEAR(std::abs(lon), M_PI, 1e-15);
    // Not-a-number input ends (no endless iteration).
    GeodeticFromEcef(std::nan(""), 1.0, 1.0, lat, lon, h);
    EXPECT_TRUE(std::isnan(h));

    // Station on the equator at longitude 0: north is +Z, east is +Y, up is +X.
    double el = -1.0, az = -1.0;
    ASSERT_TRUE(LookAngles(kA, 0.0, 0.0, kA + 1e6, -1.0, 1e6, el, az));
    EXPECT_NEAR(el, M_PI / 4.0, 1e-12);
    EXPECT_TRUE(az > 2.0 * M_PI - 1e-5 && az < 2.0 * M_PI) << az;  // just west of north
    EXPECT_FALSE(LookAngles(std::nan(""), 0.0, 0.0, kA, 0.0, 0.0, el, az));
    EXPECT_TRUE(el == 0.0 && az == 0.0);

    EXPECT_EQ(MappingFactor(M_PI / 2.0), 1.0);
    // Due north at the horizon from the equator: the Earth-centred angle acos(R/(R+h)),
    // R + h being 6728.1363 km; there the mapping factor is that angle's sine.
    PiercePoint(0.0, 10.0, 0.0, 0.0, lat, lon);
    EXPECT_NEAR(lat, std::acos(6378.1363 / 6728.1363) * 180.0 / M_PI, 1e-9);
    EXPECT_NEAR(lon, 10.0, 1e-9);
    EXPECT_NEAR(MappingFactor(0.0), std::sin(lat * M_PI / 180.0), 1e-12);
    // Westward from longitude 1 crosses 0 and comes back as 360 minus the distance.
    PiercePoint(0.0, 1.0, 1.5 * M_PI, 30.0 * M_PI / 180.0, lat, lon);
    EXPECT_NEAR(lat, 0.0, 1e-9);
    EXPECT_TRUE(lon > 350.0 && lon < 360.0) << lon;
}

}  // namespace velarix
