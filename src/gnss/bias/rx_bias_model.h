#pragma once
// The receiver bias as one unknown of a least-squares fit of the day's levelled slant TEC
// to a smooth local model of vertical TEC (single-station calibration). Each record gives
//     slantTec * m = V(lt, dlat, t) - B * m
// with m the slant-to-vertical mapping factor, B the receiver bias (TECU, added to slant
// TEC) and V a Fourier series in the pierce point's local solar time lt (order 4) times a
// polynomial in its latitude offset from the station dlat (degree 2), plus a linear drift
// over the day t. The receiver bias is what the mapping factor's change with elevation
// separates from V. Satellite biases, when no DCB file gives them, are further columns
// like B, held to a zero mean. One pass of 3-sigma outlier rejection follows the first
// solution.
#include <string>
#include <vector>

namespace velarix {

// A record above the fit's elevation mask, satellite bias removed.
struct ModelSample {
    double epochMjd = 0.0;
    double slantTec = 0.0;       // TECU
    double mappingFactor = 0.0;  // slant to vertical
    double ippLatitude_deg = 0.0;
    double ippLongitude_deg = 0.0;
    int satellite = -1;  // index of the satellite's estimated bias; -1: none estimated
};

struct ModelFit {
    double rxBias_TECU = 0.0;
    double rxBiasSigma_TECU = 0.0;  // formal error: a posteriori sigma times sqrt of the inverse
    double residualRms_TECU = 0.0;  // of the vertical residuals kept
    double lowestModelTec_TECU = 0.0;  // the model's vertical TEC, lowest over the samples kept
    int samplesUsed = 0;
    int samplesRejected = 0;
    int unknowns = 0;
    std::vector<double> satelliteBias_TECU;  // by satellite index, added to slant TEC like the receiver bias
};

enum class ModelFitStatus {
    kFitted,
    kTooFewSamples,   // fewer than 10 samples per unknown
    kSingular,        // the samples do not fix the receiver bias (no spread of elevations)
    kOutOfBounds,     // |bias| above 500 TECU, formal error above 3 TECU, or a model far below zero
};

constexpr double kModelElevationMask_deg = 20.0;

// `stationLatitude_deg` centres the latitude polynomial; `dayStartMjd` the drift.
// `satellites`: the number of satellite biases estimated too (indices 0 .. satellites - 1
// of the samples), 0 for none.
[[nodiscard]] ModelFitStatus FitReceiverBiasModel(const std::vector<ModelSample>& samples, double stationLatitude_deg,
                                                  double dayStartMjd, ModelFit& fit, int satellites = 0);

// "fitted", "too few samples"... for the log.
const char* modelFitStatusText(ModelFitStatus status);

}  // namespace velarix
