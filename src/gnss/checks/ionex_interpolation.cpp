// Vertical TEC between the nodes and the epochs of IONEX maps.
#include <algorithm>
#include <cmath>
#include <limits>

#include "gnss/checks/ionex_reader.h"

namespace velarix {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kEarthRotation_deg_per_day = 360.0;  // the maps turn with the Sun
constexpr double kOnNode = 1e-9;                       // in grid steps (or days at the last map)

// Where a coordinate falls on an axis: the two nodes around it and the weight of the
// upper one.
struct AxisSpot {
    bool inside = false;
    int lower = 0;
    int upper = 0;
    double weight = 0.0;
};

AxisSpot spotOnSpan(const IonexAxis& axis, double u) {
    if (axis.count == 1) return {std::fabs(u) < kOnNode, 0, 0, 0.0};
    if (u < -kOnNode || u > axis.count - 1 + kOnNode) return {};
    const int lower = std::clamp(static_cast<int>(std::floor(u)), 0, axis.count - 2);
    return {true, lower, lower + 1, std::clamp(u - lower, 0.0, 1.0)};
}

AxisSpot latitudeSpot(const IonexAxis& axis, double latitude_deg) {
    return spotOnSpan(axis, axis.step_deg == 0.0 ? latitude_deg - axis.first_deg
                                                 : (latitude_deg - axis.first_deg) / axis.step_deg);
}

// Steps of the axis in a full turn, or 0 when the axis does not go round the Earth (then
// longitudes beyond its ends are outside).
int stepsPerTurn(const IonexAxis& axis) {
    if (axis.step_deg == 0.0) return 0;
    const double turn = 360.0 / std::fabs(axis.step_deg);
    const int steps = static_cast<int>(std::lround(turn));
    if (std::fabs(turn - steps) > 1e-6 || axis.count < steps) return 0;
    return steps;
}

AxisSpot longitudeSpot(const IonexAxis& axis, double longitude_deg) {
    const int turn = stepsPerTurn(axis);
    double u = axis.step_deg == 0.0 ? longitude_deg - axis.first_deg : (longitude_deg - axis.first_deg) / axis.step_deg;
    if (turn == 0) return spotOnSpan(axis, u);
    u = std::fmod(u, static_cast<double>(turn));
    if (u < 0.0) u += turn;
    const int lower = std::min(static_cast<int>(std::floor(u)), turn - 1);
    const int upper = lower + 1 < axis.count ? lower + 1 : lower + 1 - turn;  // grids without the repeated 360 column
    return {true, lower, upper, std::clamp(u - lower, 0.0, 1.0)};
}

}  // namespace

double IonexMaps::mapValue(const IonexMap& map, double latitude_deg, double longitude_deg) const {
    const AxisSpot lat = latitudeSpot(latitudes, latitude_deg);
    const AxisSpot lon = longitudeSpot(longitudes, longitude_deg);
    if (!lat.inside || !lon.inside) return kNaN;
    if (map.tec_TECU.size() != static_cast<std::size_t>(latitudes.count) * longitudes.count) return kNaN;
    const int rows[2] = {lat.lower, lat.upper};
    const int columns[2] = {lon.lower, lon.upper};
    const double rowWeights[2] = {1.0 - lat.weight, lat.weight};
    const double columnWeights[2] = {1.0 - lon.weight, lon.weight};
    double sum = 0.0;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            const double weight = rowWeights[r] * columnWeights[c];
            if (weight == 0.0) continue;  // a node without weight may lack a value
            const double value = map.tec_TECU[static_cast<std::size_t>(rows[r]) * longitudes.count + columns[c]];
            if (std::isnan(value)) return kNaN;
            sum += weight * value;
        }
    }
    return sum;
}

double IonexMaps::verticalTec(double mjd, double latitude_deg, double longitude_deg) const {
    if (maps.empty() || std::isnan(mjd)) return kNaN;
    const auto after = std::upper_bound(maps.begin(), maps.end(), mjd,
                                        [](double t, const IonexMap& map) { return t < map.epochMjd; });
    if (after == maps.begin()) return kNaN;
    const IonexMap& before = *(after - 1);
    const auto rotated = [&](const IonexMap& map) {
        return mapValue(map, latitude_deg, longitude_deg + kEarthRotation_deg_per_day * (mjd - map.epochMjd));
    };
    if (after == maps.end()) return mjd - before.epochMjd <= kOnNode ? rotated(before) : kNaN;
    const double weight = (mjd - before.epochMjd) / (after->epochMjd - before.epochMjd);
    if (weight == 0.0) return rotated(before);
    return (1.0 - weight) * rotated(before) + weight * rotated(*after);
}

}  // namespace velarix
