#include "gnss/tec/raw_analyse.h"

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
    o.code1Lli = code1->lossOfLock;
    o.code2Lli = code2->lossOfLock;
    o.phase1Lli = phase1->lossOfLock;
    o.phase2Lli = phase2->lossOfLock;
    // Signal strengths are optional per epoch: an epoch without them gets 0.
    o.signal1 = epoch.value(selection.firstStrength);
    o.signal2 = epoch.value(selection.secondStrength);
    return true;
}

}  // namespace

int RawAnalyse(DayJob& job, RunLog& log, const ProgressText& progress) {
    std::vector<int> satellites;
    for (const auto& [satNo, epochs] : job.obs.bySatellite) satellites.push_back(satNo);
    const auto derive = [&job](int satNo) {
        SystemTec tec = systemTec(job, systemOf(satNo));
        // A system without a selection or without two distinct carriers gives no TEC.
        if (tec.selection == nullptr || tec.conversion.tecPerNs == 0.0) return;
        // Only GPS satellites have P1-C1 biases; no other number may index them.
        if (tec.p1c1Applies && isGpsPrn(satNo)) tec.conversion.p1c1_ns = job.dcb.p1c1[satNo];
        const TecObsSelection& selection = *tec.selection;
        DeriveSatelliteTec(job, satNo, job.obs.bySatellite.at(satNo), tec.conversion,
                           [&selection](const SatEpochRecord& epoch, TecObservables& o) {
                               return selectedObservables(epoch, selection, o);
                           });
    };
    return RunTecPasses(job, log, progress, EpochsOfFirstLongSatellite(job.obs), kIntervalTexts, satellites, derive);
}

}  // namespace velarix
