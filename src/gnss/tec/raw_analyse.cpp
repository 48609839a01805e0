#include "gnss/tec/raw_analyse.h"

#include <utility>
#include <vector>

#include "gnss/tec/cycle_slips.h"
#include "gnss/tec/data_interval.h"
#include "gnss/orbits/look_geometry.h"
#include "gnss/orbits/orbit.h"
#include "gnss/tec/tec_frequencies.h"
#include "gnss/tec/tec_levelling.h"
#include "platform/strfmt.h"
#include "rinex/satellite_id.h"

namespace {

constexpr double kRadiansToDegrees = 57.29577951308232;

// What pass 1 needs of a satellite's system.
struct SystemTec {
    const TecObsSelection* selection = nullptr;
    double f1_Hz = 0.0;
    double f2_Hz = 0.0;
    double tecPerNs = 0.0;  // 0: the system gives no TEC
    bool p1c1Applies = false;  // the first code is C1 and is brought to P1
};

SystemTec systemTec(const DayJob& job, int systemCode) {
    SystemTec tec;
    const auto found = job.obs.tecSelection.find(systemCode);
    if (found == job.obs.tecSelection.end() || found->second.enough != 1) return tec;
    const TecObsSelection& selection = found->second;
    tec.selection = &selection;
    tec.f1_Hz = CarrierFrequency_Hz(systemCode, selection.firstBand);
    tec.f2_Hz = CarrierFrequency_Hz(systemCode, selection.secondBand);
    tec.tecPerNs = TecPerNanosecond(tec.f1_Hz, tec.f2_Hz);
    tec.p1c1Applies = selection.firstCodeName.size() >= 3 && selection.secondCodeName.size() >= 3 &&
                      selection.firstCodeName[2] != selection.secondCodeName[2] &&
                      (job.dcb.loaded & DcbTable::kP1c1Loaded) != 0;
    return tec;
}

// Azimuth, elevation and pierce point of the record's epoch; left at 0 when the
// satellite cannot be placed (also when it has no current ephemeris then).
void addGeometry(const DayJob& job, int satNo, TecRecord& record) {
    SatState satellite;
    if (SatellitePosition(job.ephemerides, satNo, record.epochMjd, satellite, EphemerisUse::kCurrentRecord) != 0) {
        return;
    }
    double elevation_rad = 0.0;
    double azimuth_rad = 0.0;
    const StationPosition& station = job.station;
    if (LookAngles(station.x_m, station.y_m, station.z_m, satellite.x_m, satellite.y_m, satellite.z_m, elevation_rad,
                   azimuth_rad) != 1) {
        return;
    }
    record.elevation_deg = elevation_rad * kRadiansToDegrees;
    record.azimuth_deg = azimuth_rad * kRadiansToDegrees;
    PiercePoint(station.latitude_deg, station.longitude_deg, azimuth_rad, elevation_rad, record.ippLatitude_deg,
                record.ippLongitude_deg);
}

// The record of one epoch; false when the epoch lacks one of the four observables.
bool deriveEpoch(const SatEpochRecord& epoch, const SystemTec& tec, double p1c1_ns, TecRecord& record) {
    const TecObsSelection& selection = *tec.selection;
    const SatObservation* code1 = epoch.find(selection.firstCode);
    const SatObservation* code2 = epoch.find(selection.secondCode);
    const SatObservation* phase1 = epoch.find(selection.firstPhase);
    const SatObservation* phase2 = epoch.find(selection.secondPhase);
    if (code1 == nullptr || code2 == nullptr || phase1 == nullptr || phase2 == nullptr) return false;
    if (code1->value == 0.0 || code2->value == 0.0 || phase1->value == 0.0 || phase2->value == 0.0) return false;

    const double p1_ns = code1->value / kMetresPerNanosecond + p1c1_ns;
    const double p2_ns = code2->value / kMetresPerNanosecond;
    const double l1_ns = phase1->value / (tec.f1_Hz * 1e-9);
    const double l2_ns = phase2->value / (tec.f2_Hz * 1e-9);

    record = TecRecord{};
    record.epochMjd = epoch.epochMjd;
    record.codeTec = (p2_ns - p1_ns) * tec.tecPerNs;
    record.phaseTec = (l1_ns - l2_ns) * tec.tecPerNs;
    // Signal strengths are optional per epoch: an epoch without them gets 0.
    record.signal1 = epoch.value(selection.firstStrength);
    record.signal2 = epoch.value(selection.secondStrength);
    record.phase1_ns = l1_ns;
    record.code1_ns = p1_ns;
    record.phase1Lli = phase1->lossOfLock;
    record.phase2Lli = phase2->lossOfLock;
    record.code1Lli = code1->lossOfLock;
    record.code2Lli = code2->lossOfLock;
    return true;
}

// Pass 1 for one satellite: its records, then the cycle-slip repair of its phase series.
void deriveSatellite(DayJob& job, int satNo, const std::vector<SatEpochRecord>& epochs, const SystemTec& tec) {
    // Only GPS satellites have P1-C1 biases; no other number may index them.
    const double p1c1_ns = tec.p1c1Applies && isGpsPrn(satNo) ? job.dcb.p1c1[satNo] : 0.0;
    TecSeries series;
    TecRecord record;
    for (const SatEpochRecord& epoch : epochs) {
        // A repeated epoch keeps its first record.
        if (!deriveEpoch(epoch, tec, p1c1_ns, record) || series.count(record.epochMjd) != 0) continue;
        addGeometry(job, satNo, record);
        series.emplace(record.epochMjd, record);
    }
    if (series.empty()) return;

    // The series is taken in epoch order, the order the slips are sought and written back in.
    std::vector<double> phase;
    phase.reserve(series.size());
    for (const auto& [epochMjd, stored] : series) phase.push_back(stored.phaseTec);
    if (CorrectCycleSlips(phase) >= 0) {
        std::size_t k = 0;
        for (auto& [epochMjd, stored] : series) stored.phaseTec = phase[k++];
    }
    job.tec.emplace(satNo, std::move(series));
}

void show(const ProgressText& progress, int pass, int satNo) {
    if (progress) progress(strfmt("Process %d of 2, PRN # %d", pass, satNo));
}

}  // namespace

int RawAnalyse(DayJob& job, RunLog& log, const ProgressText& progress) {
    job.tec.clear();
    job.dataInterval_s = -1.0;
    double interval_s = 0.0;
    const int detected = DetectDataInterval(EpochsOfFirstLongSatellite(job.obs), interval_s);
    if (detected == kNoLongSatellite) {
        log.append("\r\nError! @raw-analyse1 - interval invalid\r\n");
        return -1;
    }
    if (detected != kIntervalFound) {
        log.append("\r\nError! @raw-analyse3 - interval invalid\r\n");
        return -1;
    }
    job.dataInterval_s = interval_s;
    log.append("\r\nINFO: @RAW analyse: Data interval = " + strfmt("%2.2lf", interval_s) + " Secs\r\n");

    job.phaseSign = 1.0;
    for (const auto& [satNo, epochs] : job.obs.bySatellite) {
        show(progress, 1, satNo);
        if (HasEphemeris(job.ephemerides, satNo) == 0) {
            log.append("\r\nNo ephemeris available for this satellite of prn.. " + strfmt("%2d", satNo));
            continue;
        }
        const SystemTec tec = systemTec(job, systemOf(satNo));
        // A system without a selection or without two distinct carriers gives no TEC.
        if (tec.selection == nullptr || tec.tecPerNs == 0.0) continue;
        deriveSatellite(job, satNo, epochs, tec);
    }

    job.phaseSign = 1.0;
    for (auto& [satNo, series] : job.tec) {
        show(progress, 2, satNo);
        if (LevelSatellite(series, job.phaseSign) == kTooManyArcs) {
            log.append("\n  ->Caution... there are more than 29 breaks for the PRN: " + strfmt("%d", satNo));
        }
    }
    return 0;
}
