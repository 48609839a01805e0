#include "gnss/tec/raw_analyse.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "gnss/tec/data_interval.h"
#include "gnss/tec/tec_frequencies.h"
#include "gnss/tec/tec_passes.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

constexpr TecIntervalTexts kIntervalTexts{
    "\r\nError! @raw-analyse1 - interval invalid\r\n",
    "\r\nError! @raw-analyse3 - interval invalid\r\n",
};

// What pass 1 needs of a satellite's system.
struct SystemTec {
    const TecObsSelection* selection = nullptr;
    TecConversion conversion;
    bool p1c1Applies = false;  // the first code is C1 and is brought to P1
};

SystemTec systemTec(const DayJob& job, int systemCode) {
    SystemTec tec;
    const auto found = job.obs.tecSelection.find(systemCode);
    if (found == job.obs.tecSelection.end() || found->second.enough != 1) return tec;
    const TecObsSelection& selection = found->second;
    tec.selection = &selection;
    tec.conversion.f1_Hz = CarrierFrequency_Hz(systemCode, selection.firstBand);
    tec.conversion.f2_Hz = CarrierFrequency_Hz(systemCode, selection.secondBand);
    tec.conversion.tecPerNs = TecPerNanosecond(tec.conversion.f1_Hz, tec.conversion.f2_Hz);
    tec.p1c1Applies = selection.firstCodeName.size() >= 3 && selection.secondCodeName.size() >= 3 &&
                      selection.firstCodeName[2] != selection.secondCodeName[2] &&
                      (job.dcb.loaded & DcbTable::kP1c1Loaded) != 0;
    return tec;
}

// The selection's four observables of an epoch; false when one is missing.
bool selectedObservables(const SatEpochRecord& epoch, const TecObsSelection& selection, TecObservables& o) {
    const SatObservation* code1 = epoch.find(selection.firstCode);
    const SatObservation* code2 = epoch.find(selection.secondCode);
    const SatObservation* phase1 = epoch.find(selection.firstPhase);
    const SatObservation* phase2 = epoch.find(selection.secondPhase);
    if (code1 == nullptr || code2 == nullptr || phase1 == nullptr || phase2 == nullptr) return false;
    o.epochMjd = epoch.epochMjd;
    o.code1_m = code1->value;
    o.code2_m = code2->value;
    o.phase1_cycles = phase1->value;
    o.phase2_cycles = phase2->value;
    // The signal strength is optional per epoch: an epoch without it gets 0.
    o.signal1 = epoch.value(selection.firstStrength);
    return true;
}

// The selection's observables of an epoch, as DeriveEpochTec and DeriveSatelliteTec take them.
auto observablesOf(const TecObsSelection& selection) {
    return [&selection](const SatEpochRecord& epoch, TecObservables& o) {
        return selectedObservables(epoch, selection, o);
    };
}

// One satellite's pass 1 while the pool's blocks go by.
struct SatelliteWork {
    int satNo = 0;
    const TecObsSelection* selection = nullptr;
    TecConversion conversion;
    const std::vector<SatEpochRecord>* epochs = nullptr;
    std::size_t next = 0;  // its first record not yet taken
    TecObservables picked;
    TecSeries series;
};

void takeEpoch(const DayJob& job, SatelliteWork& work, const SatEpochRecord& epoch) {
    auto observables = observablesOf(*work.selection);
    DeriveEpochTec(job, work.satNo, epoch, work.conversion, observables, work.picked, work.series);
}

// True when each satellite's records, in order, lie in blocks of the pool of rising order,
// as the reader fills them (a record without observations lies anywhere).
bool inBlockOrder(const ObservationPool& pool, const std::vector<SatelliteWork>& work) {
    for (const SatelliteWork& satellite : work) {
        std::size_t last = 0;
        for (const SatEpochRecord& epoch : *satellite.epochs) {
            if (epoch.observations.empty()) continue;
            const SatObservation* first = epoch.observations.data();
            const std::size_t block = pool.holds(last, first) ? last : pool.blockOf(first);
            if (block == pool.blockCount() || block < last) return false;
            last = block;
        }
    }
    return true;
}

// Pass 1 of every satellite side by side, block by block: each satellite takes its records
// that lie in a block, then the block is released. The series are those each satellite
// would give alone (its records are taken in the same order), while the observations give
// their memory back as the TEC grows, instead of both being held whole. A table whose
// records are not in block order (not filled by the reader) is derived first and released
// after.
void deriveReleasing(DayJob& job, std::vector<SatelliteWork>& work) {
    ObservationPool& pool = job.obs.pool;
    if (inBlockOrder(pool, work)) {
        for (std::size_t block = 0; block < pool.blockCount(); ++block) {
            for (SatelliteWork& satellite : work) {
                const std::vector<SatEpochRecord>& epochs = *satellite.epochs;
                std::size_t end = satellite.next;
                while (end < epochs.size() &&
                       (epochs[end].observations.empty() || pool.holds(block, epochs[end].observations.data()))) {
                    ++end;
                }
                // Room for this block's records, a quarter more at least: the series grows
                // in steps a fraction of its size rather than doubling.
                const std::size_t size = satellite.series.size();
                if (satellite.series.capacity() < size + (end - satellite.next)) {
                    satellite.series.reserve(std::max(size + (end - satellite.next), size + size / 4));
                }
                for (; satellite.next < end; ++satellite.next) takeEpoch(job, satellite, epochs[satellite.next]);
            }
            pool.releaseBlock(block);
        }
    }
    for (SatelliteWork& satellite : work) {
        const std::vector<SatEpochRecord>& epochs = *satellite.epochs;
        for (; satellite.next < epochs.size(); ++satellite.next) takeEpoch(job, satellite, epochs[satellite.next]);
    }
    job.obs.releaseObservations();
    for (SatelliteWork& satellite : work) StoreSatelliteTec(job, satellite.satNo, std::move(satellite.series));
}

}  // namespace

TecPassResult RawAnalyse(DayJob& job, RunLog& log, const ProgressText& progress, ObservationsAfterTec after) {
    std::vector<int> satellites;
    for (const auto& [satNo, epochs] : job.obs.bySatellite) satellites.push_back(satNo);
    const bool release = after == ObservationsAfterTec::kReleased;
    std::vector<SatelliteWork> work;
    const auto derive = [&job, &work, release](int satNo) {
        SystemTec tec = systemTec(job, systemOf(satNo));
        // A system without a selection or without two distinct carriers gives no TEC.
        if (tec.selection == nullptr || tec.conversion.tecPerNs == 0.0) return;
        // Only GPS satellites have P1-C1 biases; no other number may index them.
        if (tec.p1c1Applies && isGpsPrn(satNo)) tec.conversion.p1c1_ns = job.dcb.p1c1[satNo];
        const TecObsSelection& selection = *tec.selection;
        if (release) {
            SatelliteWork& satellite = work.emplace_back();
            satellite.satNo = satNo;
            satellite.selection = &selection;
            satellite.conversion = tec.conversion;
            satellite.epochs = &job.obs.bySatellite.at(satNo);
            return;
        }
        DeriveSatelliteTec(job, satNo, job.obs.bySatellite.at(satNo), tec.conversion, observablesOf(selection));
    };
    std::function<void()> endOfPass1;
    if (release) endOfPass1 = [&job, &work] { deriveReleasing(job, work); };
    const TecPassResult result = RunTecPasses(job, log, progress, EpochsOfFirstLongSatellite(job.obs), kIntervalTexts,
                                              satellites, derive, endOfPass1);
    if (release) job.obs.releaseObservations();
    return result;
}

}  // namespace velarix
