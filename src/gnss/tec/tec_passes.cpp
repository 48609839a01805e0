#include "gnss/tec/tec_passes.h"

#include "gnss/constants.h"
#include "gnss/orbits/look_geometry.h"
#include "gnss/orbits/orbit.h"
#include "gnss/tec/cycle_slips.h"
#include "gnss/tec/data_interval.h"
#include "gnss/tec/tec_frequencies.h"
#include "gnss/tec/tec_levelling.h"
#include "platform/strfmt.h"

namespace velarix {

namespace {


void show(const ProgressText& progress, int pass, int satNo) {
    if (progress) progress(strfmt("Process %d of 2, PRN # %d", pass, satNo));
}

}  // namespace

bool TecOfEpoch(const TecObservables& o, const TecConversion& c, TecRecord& record) {
    if (o.code1_m == 0.0 || o.code2_m == 0.0 || o.phase1_cycles == 0.0 || o.phase2_cycles == 0.0) return false;
    const double p1_ns = o.code1_m / kMetresPerNanosecond + c.p1c1_ns;
    const double p2_ns = o.code2_m / kMetresPerNanosecond;
    const double l1_ns = o.phase1_cycles / (c.f1_Hz * 1e-9);
    const double l2_ns = o.phase2_cycles / (c.f2_Hz * 1e-9);

    record = TecRecord{};
    record.epochMjd = o.epochMjd;
    record.codeTec = (p2_ns - p1_ns) * c.tecPerNs;
    record.phaseTec = (l1_ns - l2_ns) * c.tecPerNs;
    record.signal1 = o.signal1;
    return true;
}

void AddTecGeometry(const DayJob& job, int satNo, TecRecord& record) {
    SatState satellite;
    if (!SatellitePosition(job.ephemerides, satNo, record.epochMjd, satellite, EphemerisUse::kCurrentRecord)) return;
    double elevation_rad = 0.0;
    double azimuth_rad = 0.0;
    const StationPosition& station = job.station;
    if (!LookAngles(station.x_m, station.y_m, station.z_m, satellite.x_m, satellite.y_m, satellite.z_m, elevation_rad,
                    azimuth_rad)) {
        return;
    }
    record.elevation_deg = elevation_rad * kRadiansToDegrees;
    record.azimuth_deg = azimuth_rad * kRadiansToDegrees;
    PiercePoint(station.latitude_deg, station.longitude_deg, azimuth_rad, elevation_rad, record.ippLatitude_deg,
                record.ippLongitude_deg, job.mapping);
}

void StoreSatelliteTec(DayJob& job, int satNo, TecSeries series) {
    if (series.empty()) return;
    // The series is taken in epoch order, the order the slips are sought and written back in.
    std::vector<double> phase;
    phase.reserve(series.size());
    for (const auto& [epochMjd, stored] : series) phase.push_back(stored.phaseTec);
    if (CorrectCycleSlips(phase) >= 0) {
        std::size_t k = 0;
        for (auto& [epochMjd, stored] : series) stored.phaseTec = phase[k++];
    }
    series.shrink();  // room was reserved for every epoch of the satellite
    job.tec.emplace(satNo, std::move(series));
}

TecPassResult RunTecPasses(DayJob& job, RunLog& log, const ProgressText& progress,
                           const std::vector<double>& intervalEpochs, const TecIntervalTexts& texts,
                           const std::vector<int>& satellites, const std::function<void(int satNo)>& derive,
                           const std::function<void()>& endOfPass1) {
    job.tec.clear();
    job.dataInterval_s = -1.0;
    double interval_s = 0.0;
    const DataIntervalResult detected = DetectDataInterval(intervalEpochs, interval_s);
    if (detected != DataIntervalResult::kFound) {
        log.append(detected == DataIntervalResult::kNoLongSatellite ? texts.noLongSatellite : texts.outOfRange);
        return TecPassResult::kNoInterval;
    }
    job.dataInterval_s = interval_s;
    log.append("\r\nINFO: @RAW analyse: Data interval = " + strfmt("%2.2lf", interval_s) + " Secs\r\n");

    job.phaseSign = 1.0;
    for (const int satNo : satellites) {
        show(progress, 1, satNo);
        if (HasEphemeris(job.ephemerides, satNo) == 0) {
            log.append("\r\nNo ephemeris available for this satellite of prn.. " + strfmt("%2d", satNo));
            continue;
        }
        derive(satNo);
    }
    if (endOfPass1) endOfPass1();

    job.phaseSign = 1.0;
    for (auto& [satNo, series] : job.tec) {
        show(progress, 2, satNo);
        if (LevelSatellite(series, job.phaseSign, job.mapping) == kTooManyArcs) {
            log.append("\n  ->Caution... there are more than 29 breaks for the PRN: " + strfmt("%d", satNo));
        }
    }
    return TecPassResult::kDone;
}

}  // namespace velarix
