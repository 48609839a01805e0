#pragma once
// The residual per-satellite ("interchannel") bias: how far a satellite's vertical TEC
// lies from the day's robust curve, measured over all its samples, those above 15 deg and
// those above 30 deg, and turned into a correction only when it is clearly off.
#include <vector>

#include "gnss/bias/bias_results.h"
#include "gnss/tec/tec_table.h"
#include "gnss/bias/two_sigma.h"

namespace velarix {

// Sums of sample-minus-curve differences (TECU) of one satellite or segment.
struct CurveDifferences {
    double sumAll = 0.0, sumAbove15 = 0.0, sumAbove30 = 0.0;
    int countAll = 0, countAbove15 = 0, countAbove30 = 0;

    void add(double difference, double elevation_deg);
};

// The correction (TECU) the differences call for; 0 when the satellite is close enough
// to the curve. Large negative means are enlarged first.
double InterchannelCorrection(const CurveDifferences& d);

// Corrections of one satellite from its 3-minute series: the whole satellite's
// (`satellite`) and one per segment between `gaps` (`segments`). Samples are the valid
// records with slant TEC in [-200, 300] TECU whose hour of day falls in a curve bin.
void SatelliteInterchannel(const TecSeries& resampled, const TwoSigmaCurve& curve, double dayStartMjd,
                           const std::vector<DataGap>& gaps, double& satellite, std::vector<double>& segments);

}  // namespace velarix
