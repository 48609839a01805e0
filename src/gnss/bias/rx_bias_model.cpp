#include "gnss/bias/rx_bias_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "gnss/orbits/svd.h"

namespace velarix {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int kFourierOrder = 4;     // harmonics of the local solar day: down to 6 h
constexpr int kLatitudeDegree = 2;   // in the pierce point's latitude offset
constexpr double kLatitudeScale_deg = 10.0;
constexpr int kModelTerms = (2 * kFourierOrder + 1) * (kLatitudeDegree + 1) + 1;  // + the day's drift
constexpr int kBiasColumn = kModelTerms;  // the receiver bias, then the satellites' biases
constexpr int kSamplesPerUnknown = 10;
constexpr double kRejectSigmas = 3.0;
constexpr double kBiasBound_TECU = 500.0;
constexpr double kSigmaBound_TECU = 3.0;
constexpr double kLowestModelTec_TECU = -5.0;  // the fitted ionosphere may not go far below zero
// A direction of the normal matrix this much weaker than the strongest is void: the bias
// cannot be told from the model there.
constexpr double kVoidDirection = 1e-10;

using Row = std::vector<double>;

Row designRow(const ModelSample& s, double stationLatitude_deg, double dayStartMjd, int unknowns) {
    const double dayFraction = s.epochMjd - dayStartMjd;
    const double localTime = kTwoPi * (dayFraction + s.ippLongitude_deg / 360.0);
    const double dlat = (s.ippLatitude_deg - stationLatitude_deg) / kLatitudeScale_deg;
    Row row(unknowns, 0.0);
    int i = 0;
    double latitudeTerm = 1.0;
    for (int p = 0; p <= kLatitudeDegree; ++p, latitudeTerm *= dlat) {
        row[i++] = latitudeTerm;
        for (int k = 1; k <= kFourierOrder; ++k) {
            row[i++] = latitudeTerm * std::cos(k * localTime);
            row[i++] = latitudeTerm * std::sin(k * localTime);
        }
    }
    row[i++] = 2.0 * dayFraction - 1.0;  // -1 at the day's start, +1 at its end
    row[kBiasColumn] = -s.mappingFactor;
    if (s.satellite >= 0 && kBiasColumn + 1 + s.satellite < unknowns) row[kBiasColumn + 1 + s.satellite] = -s.mappingFactor;
    return row;
}

double observed(const ModelSample& s) { return s.slantTec * s.mappingFactor; }

double modelTec(const Row& row, const std::vector<double>& x) {
    double v = 0.0;
    for (int j = 0; j < kModelTerms; ++j) v += row[j] * x[j];
    return v;
}

struct Solution {
    std::vector<double> x;
    double biasVariance = 0.0;  // (N^-1) at the bias, without the a posteriori factor
};

// Normal equations of the kept samples, solved through their singular values. False when
// a direction of the normal matrix is numerically void.
// Satellite biases, when estimated, sum to zero: only their sum with the receiver bias is
// seen, and the datum puts their mean into the receiver bias, as CODE's zero-mean
// condition on the satellites does.
bool solve(const std::vector<Row>& rows, const std::vector<double>& y, const std::vector<bool>& keep,
           int satellites, Solution& solution) {
    const int unknowns = kBiasColumn + 1 + satellites;
    Matrix normal(unknowns, unknowns);
    std::vector<double> rhs(unknowns, 0.0);
    for (std::size_t n = 0; n < rows.size(); ++n) {
        if (!keep[n]) continue;
        const Row& r = rows[n];
        for (int i = 0; i < unknowns; ++i) {
            if (r[i] == 0.0) continue;
            rhs[i] += r[i] * y[n];
            for (int j = i; j < unknowns; ++j) normal(i, j) += r[i] * r[j];
        }
    }
    if (satellites > 0) {
        // The zero-mean condition as a heavy pseudo-observation.
        const double weight = normal(kBiasColumn, kBiasColumn);
        for (int i = kBiasColumn + 1; i < unknowns; ++i)
            for (int j = i; j < unknowns; ++j) normal(i, j) += weight;
    }
    for (int i = 0; i < unknowns; ++i)
        for (int j = 0; j < i; ++j) normal(i, j) = normal(j, i);
    SingularValueDecomposition svd;
    if (!DecomposeSvd(normal, svd).empty()) return false;
    const double largest = *std::max_element(svd.w.begin(), svd.w.end());
    const double tiny = kVoidDirection * largest;
    solution.biasVariance = 0.0;
    for (int k = 0; k < unknowns; ++k) {
        if (svd.w[k] <= tiny) return false;
        solution.biasVariance += svd.v(kBiasColumn, k) * svd.v(kBiasColumn, k) / svd.w[k];
    }
    solution.x = SolveSvd(svd, rhs);
    return solution.x.size() == static_cast<std::size_t>(unknowns);
}

}  // namespace

ModelFitStatus FitReceiverBiasModel(const std::vector<ModelSample>& samples, double stationLatitude_deg,
                                    double dayStartMjd, ModelFit& fit, int satellites) {
    fit = ModelFit{};
    const int unknowns = kBiasColumn + 1 + satellites;
    fit.unknowns = unknowns;
    if (samples.size() < static_cast<std::size_t>(kSamplesPerUnknown * unknowns)) return ModelFitStatus::kTooFewSamples;
    std::vector<Row> rows;
    std::vector<double> y;
    rows.reserve(samples.size());
    y.reserve(samples.size());
    for (const ModelSample& s : samples) {
        rows.push_back(designRow(s, stationLatitude_deg, dayStartMjd, unknowns));
        y.push_back(observed(s));
    }
    std::vector<bool> keep(samples.size(), true);
    std::vector<double> residuals(samples.size(), 0.0);
    Solution solution;
    double sigma0 = 0.0;
    std::size_t kept = samples.size();
    // The first solution, then the same without the samples beyond 3 sigma of it.
    for (int round = 0; round < 2; ++round) {
        if (kept < static_cast<std::size_t>(kSamplesPerUnknown * unknowns)) return ModelFitStatus::kTooFewSamples;
        if (!solve(rows, y, keep, satellites, solution)) return ModelFitStatus::kSingular;
        double sum = 0.0;
        for (std::size_t n = 0; n < rows.size(); ++n) {
            double predicted = 0.0;
            for (int j = 0; j < unknowns; ++j) predicted += rows[n][j] * solution.x[j];
            residuals[n] = y[n] - predicted;
            if (keep[n]) sum += residuals[n] * residuals[n];
        }
        sigma0 = std::sqrt(sum / static_cast<double>(kept - unknowns));
        if (round == 1) break;
        kept = 0;
        for (std::size_t n = 0; n < rows.size(); ++n) {
            keep[n] = std::fabs(residuals[n]) <= kRejectSigmas * sigma0;
            kept += keep[n] ? 1 : 0;
        }
    }
    fit.rxBias_TECU = solution.x[kBiasColumn];
    fit.satelliteBias_TECU.assign(solution.x.begin() + kBiasColumn + 1, solution.x.end());
    fit.rxBiasSigma_TECU = sigma0 * std::sqrt(solution.biasVariance);
    fit.residualRms_TECU = sigma0;
    fit.samplesUsed = static_cast<int>(kept);
    fit.samplesRejected = static_cast<int>(samples.size() - kept);
    fit.lowestModelTec_TECU = std::numeric_limits<double>::infinity();
    for (std::size_t n = 0; n < rows.size(); ++n) {
        if (keep[n]) fit.lowestModelTec_TECU = std::min(fit.lowestModelTec_TECU, modelTec(rows[n], solution.x));
    }
    if (!(std::fabs(fit.rxBias_TECU) <= kBiasBound_TECU) || !(fit.rxBiasSigma_TECU <= kSigmaBound_TECU) ||
        fit.lowestModelTec_TECU < kLowestModelTec_TECU) {
        return ModelFitStatus::kOutOfBounds;
    }
    return ModelFitStatus::kFitted;
}

const char* modelFitStatusText(ModelFitStatus status) {
    switch (status) {
        case ModelFitStatus::kFitted: return "fitted";
        case ModelFitStatus::kTooFewSamples: return "too few samples above 20 deg";
        case ModelFitStatus::kSingular: return "the samples do not fix the receiver bias";
        case ModelFitStatus::kOutOfBounds: return "out of bounds";
    }
    return "unknown";
}

}  // namespace velarix
