#include "gnss/look_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gnss/geodetic.h"

namespace {
constexpr double kB = 6356752.31424518;  // WGS-84 semi-minor axis
constexpr double kA = 6378137.0;
}  // namespace

TEST(GeodeticFromEcef, PolarAxisAntimeridianAndNonFiniteInput) {
    double lat = 1.0, lon = 1.0, h = 1.0;
    GeodeticFromEcef(0.0, 0.0, kB + 100.0, lat, lon, h);
    EXPECT_EQ(lat, M_PI / 2.0);
    EXPECT_EQ(lon, 0.0);
    EXPECT_NEAR(h, 100.0, 1e-9);
    GeodeticFromEcef(0.0, 0.0, -kB - 20.0, lat, lon, h);
    EXPECT_EQ(lat, -M_PI / 2.0);
    EXPECT_NEAR(h, 20.0, 1e-9);
    // On the 180-degree meridian (Y = 0, X < 0) the longitude is pi, not 0.
    GeodeticFromEcef(-kA - 5.0, 0.0, 0.0, lat, lon, h);
    EXPECT_NEAR(std::abs(lon), M_PI, 1e-15);
    EXPECT_NEAR(lat, 0.0, 1e-15);
    EXPECT_NEAR(h, 5.0, 1e-6);
    // The degree form is the same algorithm.
    const GeodeticPosition g = ecefToGeodetic(-2148744.6531, 4426641.5827, 4044656.5218);
    GeodeticFromEcef(-2148744.6531, 4426641.5827, 4044656.5218, lat, lon, h);
    EXPECT_EQ(g.latitude_deg, lat / kDegreesToRadians);
    EXPECT_EQ(g.height_m, h);
    // Not-a-number input ends (no endless iteration).
    GeodeticFromEcef(std::numeric_limits<double>::quiet_NaN(), 1.0, 1.0, lat, lon, h);
    EXPECT_TRUE(std::isnan(h));
}

TEST(LookAngles, AzimuthJustWestOfNorthElevationAndBadStation) {
    // Station on the equator at longitude 0: north is +Z, east is +Y, up is +X.
    double el = -1.0, az = -1.0;
    ASSERT_EQ(LookAngles(kA, 0.0, 0.0, kA + 1e6, -1.0, 1e6, el, az), 1);
    EXPECT_NEAR(el, M_PI / 4.0, 1e-12);
    EXPECT_GT(az, 2.0 * M_PI - 1e-5);
    EXPECT_LT(az, 2.0 * M_PI);
    ASSERT_EQ(LookAngles(kA, 0.0, 0.0, kA + 1e6, 1e6, 0.0, el, az), 1);
    EXPECT_NEAR(az, M_PI / 2.0, 1e-12);
    ASSERT_EQ(LookAngles(kA, 0.0, 0.0, kA + 2e7, 0.0, 0.0, el, az), 1);
    EXPECT_NEAR(el, M_PI / 2.0, 1e-12);
    EXPECT_EQ(LookAngles(std::nan(""), 0.0, 0.0, kA, 0.0, 0.0, el, az), 0);
    EXPECT_EQ(el, 0.0);
    EXPECT_EQ(az, 0.0);
}

TEST(PiercePoint, ZenithHorizonAndLongitudeWrap) {
    double lat = 0.0, lon = 0.0;
    PiercePoint(39.6, 115.9, 1.0, M_PI / 2.0, lat, lon);
    EXPECT_NEAR(lat, 39.6, 1e-9);
    EXPECT_NEAR(lon, 115.9, 1e-9);
    EXPECT_EQ(MappingFactor(M_PI / 2.0), 1.0);
    EXPECT_DOUBLE_EQ(MappingFactor(0.0), std::sqrt(1.0 - 0.9479796507689655 * 0.9479796507689655));

    // Due north at the horizon from the equator: the Earth-centred angle acos(R/(R+h)).
    PiercePoint(0.0, 10.0, 0.0, 0.0, lat, lon);
    EXPECT_NEAR(lat, std::acos(0.9479796507689655) * 180.0 / M_PI, 1e-9);
    EXPECT_NEAR(lon, 10.0, 1e-9);
    // Westward from longitude 1 crosses 0 and comes back as 360 minus the distance.
    PiercePoint(0.0, 1.0, 1.5 * M_PI, 30.0 * M_PI / 180.0, lat, lon);
    EXPECT_NEAR(lat, 0.0, 1e-9);
    EXPECT_GT(lon, 350.0);
    EXPECT_LT(lon, 360.0);
}
