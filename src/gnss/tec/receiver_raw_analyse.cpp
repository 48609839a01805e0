#include "gnss/tec/receiver_raw_analyse.h"

#include <vector>

#include "gnss/tec/data_interval.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

constexpr TecIntervalTexts kIntervalTexts{
    "\r\nError! @raw-analyse2 - interval invalid\r\n",
    "\r\nError! @raw-analyse2 - interval invalid\r\n",
};
constexpr double kL1_Hz = 1575420000.0;
constexpr double kL2_Hz = 1227600000.0;

// Records carrying each observable (a value other than 0).
struct Presence {
    std::size_t records = 0;
    std::size_t p1 = 0, p2 = 0, c1 = 0, c2 = 0, l1 = 0, l2 = 0;
};

Presence presenceOf(const ReceiverObsTable& table) {
    Presence n;
    for (const auto& [prn, records] : table.byPrn) {
        for (const ReceiverObsRecord& r : records) {
            ++n.records;
            n.p1 += r.p1 != 0.0;
            n.p2 += r.p2 != 0.0;
            n.c1 += r.c1 != 0.0;
            n.c2 += r.c2 != 0.0;
            n.l1 += r.l1 != 0.0;
            n.l2 += r.l2 != 0.0;
        }
    }
    return n;
}

TecObservables observablesOf(const ReceiverObsRecord& r, ReceiverCodePair pair) {
    TecObservables o;
    o.epochMjd = r.epochMjd;
    o.code1_m = pair == ReceiverCodePair::kP1P2 ? r.p1 : r.c1;
    o.code2_m = pair == ReceiverCodePair::kC1C2 ? r.c2 : r.p2;
    o.phase1_cycles = r.l1;
    o.phase2_cycles = r.l2;
    o.signal1 = r.s1;
    return o;
}

}  // namespace

ReceiverCodePair ChooseReceiverCodePair(const ReceiverObsTable& table) {
    const std::string type = toUpper(table.recording.receiverType);
    if (type.find("GSV4004") != std::string::npos) return ReceiverCodePair::kC1P2;
    const Presence n = presenceOf(table);
    const auto most = [&n](std::size_t count) { return 2 * count > n.records; };
    if (!most(n.l1) || !most(n.l2)) return ReceiverCodePair::kNone;
    if (most(n.p1) && most(n.p2)) return ReceiverCodePair::kP1P2;
    if (most(n.c1) && most(n.p2)) return ReceiverCodePair::kC1P2;
    if (most(n.c1) && most(n.c2)) return ReceiverCodePair::kC1C2;
    return ReceiverCodePair::kNone;
}

ReceiverTecResult RawAnalyseReceiver(DayJob& job, RunLog& log, const ProgressText& progress) {
    job.tec.clear();
    const ReceiverCodePair pair = ChooseReceiverCodePair(job.receiverObs);
    if (pair == ReceiverCodePair::kNone) {
        log.append("\r\nError! @RAW analyse: one or more of Required observable(s) P1/C1,P2,L1,L2 missing!");
        return ReceiverTecResult::kNoObservables;
    }
    const bool p1c1Applies = pair == ReceiverCodePair::kC1P2 && (job.dcb.loaded & DcbTable::kP1c1Loaded) != 0;

    std::vector<int> satellites;
    for (const auto& [prn, records] : job.receiverObs.byPrn) {
        if (isGpsPrn(prn)) {
            satellites.push_back(prn);
        } else {
            log.append(strfmt("\r\nFollowing PRN# is out of range for calculation.. prn = %d", prn));
        }
    }
    const auto derive = [&job, pair, p1c1Applies](int prn) {
        TecConversion conversion;
        conversion.f1_Hz = kL1_Hz;
        conversion.f2_Hz = kL2_Hz;
        conversion.tecPerNs = kTecuPerNsP1P2;
        conversion.p1c1_ns = p1c1Applies ? job.dcb.p1c1[prn] : 0.0;
        DeriveSatelliteTec(job, prn, job.receiverObs.byPrn.at(prn), conversion,
                           [pair](const ReceiverObsRecord& r, TecObservables& o) {
                               o = observablesOf(r, pair);
                               return true;
                           });
    };
    const TecPassResult passes = RunTecPasses(job, log, progress, EpochsOfFirstLongSatellite(job.receiverObs),
                                              kIntervalTexts, satellites, derive);
    return passes == TecPassResult::kDone ? ReceiverTecResult::kDone : ReceiverTecResult::kNoInterval;
}

}  // namespace velarix
