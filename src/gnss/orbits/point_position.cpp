#include "gnss/orbits/point_position.h"

#include <cmath>
#include <vector>

#include "gnss/constants.h"
#include "gnss/orbits/look_geometry.h"
#include "gnss/orbits/svd.h"

namespace velarix {

namespace {

constexpr int kUnknowns = 4;  // X, Y, Z, clock term

// Pseudorange residuals at `estimate` and, when `design` is given, the design rows.
// With `rotate`, each satellite is first turned about the z axis by the Earth's rotation
// during the travel time from it to the estimate.
std::vector<double> residualsAt(std::span<const SatelliteRange> satellites, const PositionEstimate& estimate,
                                bool rotate, Matrix* design) {
    std::vector<double> residuals(satellites.size());
    for (size_t i = 0; i < satellites.size(); ++i) {
        const SatelliteRange& sat = satellites[i];
        double x = sat.x_m, y = sat.y_m;
        if (rotate) {
            const double travel = std::hypot(x - estimate.x_m, y - estimate.y_m, sat.z_m - estimate.z_m);
            const double theta = kEarthRotationInTravel_radps * travel / kSpeedOfLight_mps;
            x = sat.x_m * std::cos(theta) + sat.y_m * std::sin(theta);
            y = sat.y_m * std::cos(theta) - sat.x_m * std::sin(theta);
        }
        const double dx = x - estimate.x_m;
        const double dy = y - estimate.y_m;
        const double dz = sat.z_m - estimate.z_m;
        const double range = std::sqrt(dx * dx + dy * dy + dz * dz);
        residuals[i] = sat.pseudorange_m - range - estimate.clock_m + kSpeedOfLight_mps * sat.clockOffset_s;
        if (design != nullptr) {
            // The pseudorange stands in for the range as the divisor of the direction.
            const int row = static_cast<int>(i);
            (*design)(row, 0) = -dx / sat.pseudorange_m;
            (*design)(row, 1) = -dy / sat.pseudorange_m;
            (*design)(row, 2) = -dz / sat.pseudorange_m;
            (*design)(row, 3) = 1.0;
        }
    }
    return residuals;
}

}  // namespace

bool PointPosition(std::span<const SatelliteRange> satellites, PointPositionResult& result) {
    result = PointPositionResult{};
    PositionEstimate estimate;
    for (int iteration = 0; iteration < kPointPositionIterations; ++iteration) {
        // The first step starts at the Earth's centre, where a travel time means nothing.
        Matrix design(static_cast<int>(satellites.size()), kUnknowns);
        const std::vector<double> residuals = residualsAt(satellites, estimate, iteration > 0, &design);
        SingularValueDecomposition svd;
        result.failure = DecomposeSvd(design, svd);
        if (!result.failure.empty()) return false;
        const std::vector<double> step = SolveSvd(svd, residuals);
        estimate.x_m += step[0];
        estimate.y_m += step[1];
        estimate.z_m += step[2];
        estimate.clock_m += step[3];
        result.iterations[iteration] = estimate;
    }

    double sumOfSquares = 0.0;
    for (double r : residualsAt(satellites, estimate, true, nullptr)) sumOfSquares += r * r;
    result.residualRms_m = std::sqrt(sumOfSquares / satellites.size());  // at least four

    double latitude_rad = 0.0, longitude_rad = 0.0;
    GeodeticFromEcef(estimate.x_m, estimate.y_m, estimate.z_m, latitude_rad, longitude_rad, result.height_m);
    result.latitude_deg = latitude_rad * kRadiansToDegrees;
    result.longitude_deg = longitude_rad * kRadiansToDegrees;
    return true;
}

}  // namespace velarix
