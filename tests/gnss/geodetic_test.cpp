#include "gnss/geodetic.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Geodetic, KnownPointsAndRoundTripsIncludingThePoles) {
    const EcefPosition origin = geodeticToEcef(0.0, 0.0, 0.0);
    EXPECT_NEAR(origin.x_m, kWgs84SemiMajorAxis_m, 1e-6);
    EXPECT_NEAR(origin.y_m, 0.0, 1e-6);
    const EcefPosition north = geodeticToEcef(90.0, 0.0, 100.0);
    EXPECT_NEAR(north.z_m, 6356752.314245 + 100.0, 1e-3);  // semi-minor axis b = a(1 - f)
    const EcefPosition east = geodeticToEcef(0.0, 90.0, 0.0);
    EXPECT_NEAR(east.y_m, kWgs84SemiMajorAxis_m, 1e-6);

    // IGS BJFS: APPROX POSITION XYZ of bjfs0010.20o and the IGS list's 39.609 N 115.892 E 87.8 m.
    const GeodeticPosition bjfs = ecefToGeodetic(-2148744.6531, 4426641.5827, 4044656.5218);
    EXPECT_NEAR(bjfs.latitude_deg, 39.609, 0.0006);
    EXPECT_NEAR(bjfs.longitude_deg, 115.892, 0.0006);
    EXPECT_NEAR(bjfs.height_m, 87.8, 1.0);

    for (double lat : {-90.0, -89.9999, -45.0, -0.5, 0.0, 12.3, 78.9, 90.0}) {
        for (double lon : {-179.5, -56.1, 0.0, 115.9, 180.0}) {
            for (double h : {-100.0, 0.0, 3500.0, 20200e3}) {
                const EcefPosition p = geodeticToEcef(lat, lon, h);
                const GeodeticPosition g = ecefToGeodetic(p.x_m, p.y_m, p.z_m);
                EXPECT_NEAR(g.latitude_deg, lat, 1e-9) << lat << " " << lon << " " << h;
                EXPECT_NEAR(g.height_m, h, 1e-3) << lat << " " << lon << " " << h;
                if (std::abs(lat) < 90.0) {
                    const double dLon = std::remainder(g.longitude_deg - lon, 360.0);
                    EXPECT_NEAR(dLon, 0.0, 1e-9) << lat << " " << lon << " " << h;
                }
            }
        }
    }
    // The centre lies on the polar axis: latitude 90, height -b.
    const GeodeticPosition centre = ecefToGeodetic(0.0, 0.0, 0.0);
    EXPECT_EQ(centre.latitude_deg, 90.0);
    EXPECT_DOUBLE_EQ(centre.height_m, -6356752.31424518);
}
