#pragma once
// The two passes of the TEC derivation, shared by the RINEX path (raw_analyse.h) and the
// receiver-format path (receiver_raw_analyse.h): they differ only in the table they read,
// how an epoch's four observables are picked and the constants that turn them into TEC.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gnss/day_job.h"
#include "gnss/tec/tec_table.h"
#include "platform/run_log.h"
#include "platform/status_code.h"

namespace velarix {

// Receives the progress text ("Process 1 of 2, PRN # 5").
using ProgressText = std::function<void(const std::string&)>;

// The observables of one satellite at one epoch from which its TEC comes.
struct TecObservables {
    double epochMjd = 0.0;
    double code1_m = 0.0;  // first and second pseudorange
    double code2_m = 0.0;
    double phase1_cycles = 0.0;  // first and second carrier phase
    double phase2_cycles = 0.0;
    double signal1 = 0.0;  // first-band signal strength, 0 when the epoch has none
};

// How the observables become TEC.
struct TecConversion {
    double f1_Hz = 0.0;     // carriers: cycles / (f * 1e-9) gives nanoseconds
    double f2_Hz = 0.0;
    double tecPerNs = 0.0;  // TECU per nanosecond of second-minus-first delay
    double p1c1_ns = 0.0;   // added to the first code (a C1 code brought to P1)
};

// Code and phase TEC of one epoch into a fresh `record`; false when one of the four
// observables is 0.
bool TecOfEpoch(const TecObservables& observables, const TecConversion& conversion, TecRecord& record);

// Azimuth, elevation and pierce point of the record's epoch; left at 0 when the satellite
// cannot be placed (also when it has no current ephemeris then).
void AddTecGeometry(const DayJob& job, int satNo, TecRecord& record);

// Repairs the cycle slips of the series' phase TEC and stores it in job.tec; an empty
// series is not stored.
void StoreSatelliteTec(DayJob& job, int satNo, TecSeries series);

// Pass 1 for one epoch of a satellite into `series`: `observables(record, out)` picks the
// epoch's observables into `picked` (false for an epoch without them); a repeated epoch
// keeps its first record.
template <typename Record, typename Observables>
void DeriveEpochTec(const DayJob& job, int satNo, const Record& epoch, const TecConversion& conversion,
                    Observables& observables, TecObservables& picked, TecSeries& series) {
    TecRecord record;
    if (!observables(epoch, picked) || !TecOfEpoch(picked, conversion, record)) return;
    if (series.count(record.epochMjd) != 0) return;
    AddTecGeometry(job, satNo, record);
    series.emplace(record.epochMjd, record);
}

// Pass 1 for one satellite, its epochs in order (DeriveEpochTec), then StoreSatelliteTec.
template <typename Record, typename Observables>
void DeriveSatelliteTec(DayJob& job, int satNo, const std::vector<Record>& epochs, const TecConversion& conversion,
                        Observables observables) {
    TecSeries series;
    series.reserve(epochs.size());
    TecObservables picked;
    for (const Record& epoch : epochs) DeriveEpochTec(job, satNo, epoch, conversion, observables, picked, series);
    StoreSatelliteTec(job, satNo, std::move(series));
}

// The interval failure messages of a path.
struct TecIntervalTexts {
    const char* noLongSatellite;     // no satellite with more than 49 epochs
    const char* outOfRange;          // an interval outside (0, 300] s
};

// How the passes ended; the numbers are those of the run log ("err = %d").
enum class TecPassResult {
    kDone = 0,
    kNoInterval = -1,  // no usable data interval; job.tec stays empty
};

// Both passes: empties job.tec; detects the data interval from `intervalEpochs` (the
// epochs of the first satellite with more than 49); then pass 1 calls `derive(satNo)` for
// each of `satellites` that has an ephemeris, then `endOfPass1` when given (for a path that
// derives its satellites side by side), and pass 2 levels every satellite derived.
// kDone, or kNoInterval when the interval could not be established (job.tec stays empty).
[[nodiscard]] TecPassResult RunTecPasses(DayJob& job, RunLog& log, const ProgressText& progress,
                                         const std::vector<double>& intervalEpochs, const TecIntervalTexts& texts,
                                         const std::vector<int>& satellites,
                                         const std::function<void(int satNo)>& derive,
                                         const std::function<void()>& endOfPass1 = {});

}  // namespace velarix
