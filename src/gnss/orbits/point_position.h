#pragma once
// Code-only single-point position of one epoch: receiver X, Y, Z and clock term from the
// pseudoranges of at least four satellites by iterated linearised least squares, with no
// ionospheric or tropospheric correction.
#include <array>
#include <span>
#include <string>

namespace velarix {

constexpr int kPointPositionIterations = 5;

// One satellite of the epoch.
struct SatelliteRange {
    double pseudorange_m = 0.0;
    double x_m = 0.0, y_m = 0.0, z_m = 0.0;  // Earth-fixed, at the epoch
    double clockOffset_s = 0.0;
};

// Receiver position and clock term (the clock offset times the speed of light).
struct PositionEstimate {
    double x_m = 0.0, y_m = 0.0, z_m = 0.0;
    double clock_m = 0.0;
};

struct PointPositionResult {
    // The estimate after each iteration; the last is the solution.
    std::array<PositionEstimate, kPointPositionIterations> iterations{};
    double latitude_deg = 0.0;  // of the solution, WGS-84
    double longitude_deg = 0.0;  // -180..180
    double height_m = 0.0;
    double residualRms_m = 0.0;  // of the pseudoranges at the solution
    std::string failure;         // the decomposition's message when it failed

    const PositionEstimate& solution() const { return iterations.back(); }
};

// Starts at the Earth's centre with a zero clock term and makes five Gauss-Newton steps;
// from the second on, each satellite is turned about the z axis by the Earth's rotation
// during the signal's travel time. Pseudoranges must be non-zero (they scale the design
// rows). True on success; false when the least-squares decomposition fails (fewer than
// four satellites, or no convergence): `result.failure` then holds its message.
[[nodiscard]] bool PointPosition(std::span<const SatelliteRange> satellites, PointPositionResult& result);

}  // namespace velarix
