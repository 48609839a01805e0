#include "gnss/orbits/orbit.h"

#include <cmath>
#include <iterator>

#include "gnss/orbits/orbit_models.h"
#include "geodesy/time.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

// One millisecond as a day fraction: the step of the velocity and drift differences.
constexpr double kDifferenceStep_days = 1.1574074074074074e-8;

// The record list nearest to `mjd`: the smallest |mjd - epoch| * 24 h, the earlier epoch on
// a tie. The epochs are ordered, so only the neighbours of mjd's place can be nearest; the
// backward walk keeps "earlier wins" even where rounding makes several distances equal.
template <typename Record>
const Record* nearestRecord(const EphemerisByEpoch<Record>& byEpoch, double mjd) {
    if (byEpoch.empty() || !std::isfinite(mjd)) return nullptr;
    auto hoursTo = [mjd](double epochMjd) { return std::abs(mjd - epochMjd) * 24.0; };

    auto after = byEpoch.lower_bound(mjd);
    auto best = after;
    if (after != byEpoch.begin()) {
        auto before = std::prev(after);
        if (after == byEpoch.end() || hoursTo(before->first) <= hoursTo(after->first)) {
            best = before;
            while (best != byEpoch.begin() && hoursTo(std::prev(best)->first) == hoursTo(best->first)) --best;
        }
    }
    return best->second.empty() ? nullptr : &best->second.front();
}

template <typename Record>
const Record* nearestOf(const std::map<int, EphemerisByEpoch<Record>>& part, int satNo, double mjd) {
    const auto it = part.find(satNo);
    return it == part.end() ? nullptr : nearestRecord(it->second, mjd);
}

// The reference epoch of the selected record (the key it is stored under); false without one.
bool referenceEpoch(const SelectedEphemeris& selected, double& mjd) {
    if (selected.kepler != nullptr) mjd = selected.kepler->tocMjd;
    if (selected.glonass != nullptr) mjd = selected.glonass->epochMjd;
    if (selected.sbas != nullptr) mjd = selected.sbas->epochMjd;
    return selected.kepler != nullptr || selected.glonass != nullptr || selected.sbas != nullptr;
}

// Position and clock of the selected record at `mjd`; false without a usable record.
bool evaluate(const SelectedEphemeris& selected, double mjd, SatState& state) {
    if (selected.kepler != nullptr) return KeplerPosition(*selected.kepler, mjd, state);
    if (selected.glonass != nullptr) {
        if (!(std::abs(mjd - selected.glonass->epochMjd) <= kMaxGlonassIntegration_days)) return false;
        GlonassPosition(*selected.glonass, mjd, state);
        return true;
    }
    if (selected.sbas != nullptr) {
        SbasPosition(*selected.sbas, mjd, state);
        return true;
    }
    return false;
}

}  // namespace

double EphemerisValidity_days(int satNo) {
    constexpr double kKeplerValidity_days = 4.0 / 24.0;
    constexpr double kStateValidity_days = 0.5 / 24.0;
    const int system = systemOf(satNo);
    return system == kGlonass || system == kSbas ? kStateValidity_days : kKeplerValidity_days;
}

SelectedEphemeris SelectEphemeris(const EphemerisTable& table, int satNo, double mjd, EphemerisUse use) {
    SelectedEphemeris selected;
    switch (systemOf(satNo)) {
        case kGps:
        case kGalileo:
        case kBeiDou:
        case kQzss:
        case kIrnss: selected.kepler = nearestOf(table.kepler, satNo, mjd); break;
        case kGlonass: selected.glonass = nearestOf(table.glonass, satNo, mjd); break;
        case kSbas: selected.sbas = nearestOf(table.sbas, satNo, mjd); break;
        default: break;
    }
    double epochMjd = 0.0;
    if (use == EphemerisUse::kCurrentRecord && referenceEpoch(selected, epochMjd) &&
        !(std::abs(mjd - epochMjd) <= EphemerisValidity_days(satNo))) {
        return {};
    }
    return selected;
}

bool HasCurrentEphemeris(const EphemerisTable& table, int satNo, double mjd) {
    double epochMjd = 0.0;
    return referenceEpoch(SelectEphemeris(table, satNo, mjd, EphemerisUse::kCurrentRecord), epochMjd);
}

bool EphemerisSpan(const EphemerisTable& table, int satNo, double& firstMjd, double& lastMjd) {
    // The records nearest to times far before and far after any record.
    constexpr double kFar_days = 1e12;
    return referenceEpoch(SelectEphemeris(table, satNo, -kFar_days), firstMjd) &&
           referenceEpoch(SelectEphemeris(table, satNo, kFar_days), lastMjd);
}

bool SatellitePosition(const EphemerisTable& table, int satNo, double mjd, SatState& state, EphemerisUse use) {
    state = SatState{};
    const SelectedEphemeris selected = SelectEphemeris(table, satNo, mjd, use);
    SatState later;
    const double laterMjd = mjd + kDifferenceStep_days;
    if (!evaluate(selected, mjd, state) || !evaluate(selected, laterMjd, later)) {
        state = SatState{};
        return false;
    }
    // Divide by the step the two MJDs really are apart: near MJD 60000 a day fraction
    // holds a millisecond only to about 0.03 %, which would bias every velocity.
    const double step_s = (laterMjd - mjd) * kSecondsPerDay;
    state.vx_mps = (later.x_m - state.x_m) / step_s;
    state.vy_mps = (later.y_m - state.y_m) / step_s;
    state.vz_mps = (later.z_m - state.z_m) / step_s;
    state.clockDrift_sps = (later.clockOffset_s - state.clockOffset_s) / step_s;
    return true;
}

}  // namespace velarix
