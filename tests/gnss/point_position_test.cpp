#include "gnss/point_position.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gnss/geodetic.h"
#include "gnss/position_fixture.h"
#include "gnss/svd.h"

TEST(PointPosition, ConvergesToTheStationAndTurnsTheEarthOnlyFromTheSecondIteration) {
    const EcefPosition station = geodeticToEcef(39.6, 115.9, 88.0);
    const double clock_m = 12345.6;
    std::vector<SatelliteRange> satellites;
    for (size_t i = 0; i < kHighSkyCount; ++i) {
        const EcefPosition sat = satelliteSeenFrom(station, kHighSky[i].elevation_deg, kHighSky[i].azimuth_deg);
        const double satClock_s = 1e-4 * (static_cast<double>(i) - 2.5);
        satellites.push_back({pseudorangeAt(station, sat, clock_m, satClock_s), sat.x_m, sat.y_m, sat.z_m, satClock_s});
    }
    PointPositionResult result;
    ASSERT_EQ(PointPosition(satellites, result), 0);
    // Satellite clocks of up to 75 km make the pseudorange a poor stand-in for the range in
    // the design rows: after five steps centimetres remain. Without the Earth's rotation
    // the error would be tens of metres.
    EXPECT_NEAR(result.solution().x_m, station.x_m, 0.05);
    EXPECT_NEAR(result.solution().y_m, station.y_m, 0.05);
    EXPECT_NEAR(result.solution().z_m, station.z_m, 0.05);
    EXPECT_NEAR(result.solution().clock_m, clock_m, 0.05);
    EXPECT_LT(result.residualRms_m, 0.05);
    EXPECT_NEAR(result.latitude_deg, 39.6, 5e-7);
    EXPECT_NEAR(result.longitude_deg, 115.9, 5e-7);
    EXPECT_NEAR(result.height_m, 88.0, 0.05);

    // The first step from the Earth's centre uses the satellites where the ephemeris puts them.
    auto firstStep = [&](bool turned) {
        Matrix design(static_cast<int>(satellites.size()), 4);
        std::vector<double> rhs;
        for (const SatelliteRange& s : satellites) {
            const EcefPosition p = turned ? turnedByTravel({0, 0, 0}, {s.x_m, s.y_m, s.z_m}) : EcefPosition{s.x_m, s.y_m, s.z_m};
            const int row = static_cast<int>(rhs.size());
            design(row, 0) = -p.x_m / s.pseudorange_m;
            design(row, 1) = -p.y_m / s.pseudorange_m;
            design(row, 2) = -p.z_m / s.pseudorange_m;
            design(row, 3) = 1.0;
            rhs.push_back(s.pseudorange_m - std::hypot(p.x_m, p.y_m, p.z_m) + kSpeedOfLight_mps * s.clockOffset_s);
        }
        SingularValueDecomposition svd;
        EXPECT_EQ(DecomposeSvd(design, svd), "");
        return SolveSvd(svd, rhs);
    };
    const std::vector<double> plain = firstStep(false);
    const std::vector<double> turned = firstStep(true);
    const PositionEstimate& first = result.iterations[0];
    EXPECT_NEAR(first.x_m, plain[0], 1e-3);
    EXPECT_NEAR(first.y_m, plain[1], 1e-3);
    EXPECT_NEAR(first.z_m, plain[2], 1e-3);
    EXPECT_NEAR(first.clock_m, plain[3], 1e-3);
    EXPECT_GT(std::hypot(turned[0] - plain[0], turned[1] - plain[1]), 10.0);  // the check can tell them apart

    // Too few satellites: the decomposition refuses, and says so.
    satellites.resize(3);
    EXPECT_NE(PointPosition(satellites, result), 0);
    EXPECT_EQ(result.failure, "You must augment A with extra zero rows.\n");
}
