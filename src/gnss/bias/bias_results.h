#pragma once
// What the bias estimation leaves for the summary, the writers and the plots.
#include <array>
#include <map>
#include <string>
#include <vector>

#include "gnss/bias/two_sigma.h"
#include "gnss/s4/s4_state.h"

namespace velarix {

// A break of more than an hour in a satellite's 3-minute series: the last epoch before it
// and the first after it (MJD).
struct DataGap {
    double startMjd = 0.0;
    double endMjd = 0.0;
};

// A GPS satellite's segments: the stretches between its gaps, each with its own
// interchannel correction (TECU, subtracted from slant TEC). A satellite without gaps has
// one segment, whose correction is its interchannelBias.
struct SatelliteSegments {
    std::vector<DataGap> gaps;       // at most 10
    std::vector<double> corrections;  // gaps.size() + 1

    // The correction of the segment an epoch belongs to: a segment runs up to the end of
    // its gap.
    double correctionAt(double epochMjd) const;
};

// A point of a TEC figure: hours since the start of the processing day, TECU.
struct TecFigurePoint {
    double hour = 0.0;
    double tec = 0.0;
};

constexpr int kS4FigureBins = 480;  // 0.05 h each
constexpr double kS4FigureBin_h = 0.05;

// What the two TEC figures of the bias stage show; the plots draw them and give them
// their titles.
struct BiasFigures {
    // Vertical TEC of the valid records above 20 deg, per satellite, before the stage and
    // with the biases removed.
    std::map<int, std::vector<TecFigurePoint>> biasedTec;
    std::map<int, std::vector<TecFigurePoint>> removedTec;
    // Largest S4 above 30 deg elevation per 0.05 h bin of the day; -1 where there is none.
    std::array<double, kS4FigureBins> s4Max{};
    bool hasS4 = false;
    S4Source s4Source = kS4None;  // where the records' S4 came from
};

struct BiasResults {
    std::array<double, 33> satBias{};           // TECU, GPS PRN 1..32
    std::array<double, 33> interchannelBias{};  // TECU
    std::array<double, 33> totalBias{};         // satBias + interchannelBias
    double rxBiasStage1 = 0.0;                  // TECU, added to slant TEC
    double rxBiasStage2 = 0.0;                  // TECU, added to vertical TEC
    double rxBiasTotal = 0.0;
    double minTecAverage = 0.0;  // lowest and highest value of the final 2-sigma curve,
    double maxTecAverage = 0.0;  // between 1 and 23 h UT
    // The last 2-sigma curve formed: that of the calibrated TEC when the stage completes,
    // else the one of the last pass that formed a curve. The ".Std" product shows it.
    TwoSigmaCurve finalCurve;
    std::map<int, SatelliteSegments> segments;  // by GPS PRN
    BiasFigures figures;

    void clear() { *this = BiasResults{}; }
};

}  // namespace velarix
