#include "gnss/bias/bias_estimation.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "gnss/bias/bias_figures.h"
#include "gnss/constants.h"
#include "gnss/bias/bias_grid.h"
#include "gnss/tec/data_interval.h"
#include "gnss/bias/interchannel_bias.h"
#include "gnss/orbits/look_geometry.h"
#include "gnss/bias/rx_bias_model.h"
#include "gnss/bias/rx_bias_stage1.h"
#include "platform/strfmt.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

constexpr double kSecond_day = 1.0 / 86400.0;

constexpr double kCurveElevation_deg = 30.0;
constexpr double kStage1Elevation_deg = 25.0;
constexpr double kGridCurveLowest_TECU = -450.0;  // values collected for the grid curves
constexpr double kFirstCurveHighest_TECU = 450.0;
constexpr double kLaterCurveHighest_TECU = 400.0;
constexpr double kValidLowest_TECU = -50.0;  // below or above: the record is no longer valid
constexpr double kGridValidHighest_TECU = 250.0;
constexpr double kFinalValidHighest_TECU = 200.0;
constexpr double kFinalCurveHighest_TECU = 250.0;
constexpr std::size_t kMinGridCurveValues = 102;   // more than 101, passes 2 to 4
constexpr std::size_t kMinCurveValues = 101;       // more than 100, first and final pass
constexpr double kNightMinimum_TECU = 2.0;
constexpr double kCurveFirstHour = 1.0;  // the extremes of a curve are sought strictly inside
constexpr double kCurveLastHour = 23.0;

const char* const kNoIntervalText = "\r\nError! @Rxbias - D-interval invalid";
const char* const kFewValuesText = "\r\nError! @rBias_Calc; count for 2sigma less than 100.. bad/less TEC data!";
const char* const kGridOverflowText = "\r\nError! @TwoSigmaItr the count exceeds 2000, modification reqd!";
const char* const kFinalOverflowText = "\r\nError! @TwoSigmaItr the count exceeds 4000, modification reqd!2";
const char* const kCountLimitText = "\r\nInfo! Count exceeds limit while processing for 2 sigma TEC!!";

// Satellites whose satellite bias is known: the only ones that may fix the receiver bias
// and the curves. Any other number must not index the per-PRN arrays either.
bool calibrated(int satNo) { return isGpsPrn(satNo); }

std::size_t recordCount(const TecTable& table) {
    std::size_t count = 0;
    for (const auto& [satNo, series] : table) count += series.size();
    return count;
}

void clearOutside(TecRecord& r, double highest_TECU) {
    if (r.verticalTec < kValidLowest_TECU || r.verticalTec > highest_TECU) r.valid = 0;
}

struct TimedValue {
    double epochMjd = 0.0;
    double tec = 0.0;
};

// Extremes of a curve strictly between 1 and 23 h; false when it has no point there.
bool curveExtremes(const TwoSigmaCurve& curve, double& lowest, double& highest) {
    bool any = false;
    for (const TwoSigmaBin& b : curve.bins) {
        if (b.count == 0 || !(b.hour > kCurveFirstHour && b.hour < kCurveLastHour)) continue;
        if (!any || b.smoothed_TECU < lowest) lowest = b.smoothed_TECU;
        if (!any || b.smoothed_TECU > highest) highest = b.smoothed_TECU;
        any = true;
    }
    return any;
}

class BiasRun {
public:
    BiasRun(DayJob& job, RunLog& log, const BiasOptions& options)
        : job_(job), log_(log), options_(options), bias_(job.bias), day_(job.dayStartMjd), mapping_(job.mapping) {}

    BiasResult run() {
        double interval_s = 0.0;
        if (DetectDataInterval(EpochsOfFirstLongSatellite(job_.tec), interval_s) != DataIntervalResult::kFound) {
            log_.append(kNoIntervalText);
            return BiasResult::kNoInterval;
        }
        FillFigureS4(job_, bias_.figures);
        bias_.figures.biasedTec = FigureTec(job_.tec, day_);
        grid_ = ResampleToGrid(job_.tec, GridTolerance_day(interval_s));
        setSatelliteBiases();
        for (const auto& [satNo, series] : grid_) {
            if (calibrated(satNo)) bias_.segments[satNo].gaps = FindGaps(series);
        }

        // Pass 1: satellite biases out; its curve only shows the state of the data.
        forGrid([this](int satNo, TecRecord& r) {
            r.slantTec -= satBias(satNo);
            r.verticalTec = r.slantTec * mappingFactor(r);
        });
        // One curve object serves every pass: each pass measures against the curve of the
        // one before and then forms its own; the last one formed stays in the results.
        TwoSigmaCurve& curve = bias_.finalCurve;
        const std::vector<TimedValue> first =
            curveValues(grid_, kGridCurveLowest_TECU, kFirstCurveHighest_TECU, recordCount(grid_));
        if (first.size() >= kMinCurveValues) {
            if (!formCurve(first, curve, kGridOverflowText)) return BiasResult::kBinOverflow;
        }
        if (options_.givenRxBias_TECU) {
            bias_.rxBiasStage1 = *options_.givenRxBias_TECU;
        } else if (!chosenStage1Bias()) {
            // Without two satellites above 25 deg at a time no candidate scores at all, and
            // any bias would pass for the best: such a day has too few values.
            log_.append(kFewValuesText);
            return BiasResult::kFewValues;
        }

        // Pass 2: stage-1 receiver bias in.
        forGrid([this](int, TecRecord& r) {
            r.slantTec += bias_.rxBiasStage1;
            r.verticalTec = r.slantTec * mappingFactor(r);
        });
        if (const BiasResult code = gridCurve(curve); code != BiasResult::kApplied) return code;

        // Pass 3: interchannel biases out, measured against the curve of pass 2.
        setInterchannelBiases(curve);
        forGrid([this](int satNo, TecRecord& r) {
            r.slantTec -= interchannel(satNo, r.epochMjd);
            r.verticalTec = r.slantTec * mappingFactor(r);
            clearOutside(r, kGridValidHighest_TECU);
        });
        if (const BiasResult code = gridCurve(curve); code != BiasResult::kApplied) return code;
        double lowest = 0.0;
        double highest = 0.0;
        // A curve with no point between 1 and 23 h has no night to lift: stage 2 stays 0.
        if (!options_.givenRxBias_TECU && options_.calibration == Calibration::kFloor &&
            curveExtremes(curve, lowest, highest)) {
            bias_.rxBiasStage2 = kNightMinimum_TECU - lowest;
        }

        // Pass 4: stage-2 receiver bias in.
        forGrid([this](int, TecRecord& r) {
            r.slantTec += bias_.rxBiasStage2;
            r.verticalTec += bias_.rxBiasStage2;
            clearOutside(r, kGridValidHighest_TECU);
        });
        if (const BiasResult code = gridCurve(curve); code != BiasResult::kApplied) return code;
        bias_.rxBiasTotal = bias_.rxBiasStage1 + bias_.rxBiasStage2;

        return finalPass();
    }

private:
    double mappingFactor(const TecRecord& r) const {
        return MappingFactor(r.elevation_deg * kDegreesToRadians, mapping_);
    }

    // The stage-1 receiver bias of the calibration choice; false when the minimum-spread
    // search, the fallback of every choice, finds nothing.
    bool chosenStage1Bias() {
        if (options_.calibration == Calibration::kDcb) {
            if (options_.receiverDcb) {
                const ReceiverDcb& dcb = *options_.receiverDcb;
                bias_.rxBiasStage1 = kTecuPerNsP1P2 * dcb.value_ns;
                log_.append(strfmt("\r\nInfo! receiver bias from the published DCB of the station: %.3f ns "
                                   "(%.2f TECU), from %s",
                                   dcb.value_ns, bias_.rxBiasStage1, dcb.source.c_str()));
                return true;
            }
            log_.append("\r\nInfo! no published DCB of the station: receiver bias by minimum spread");
        }
        if (options_.calibration == Calibration::kModel) {
            // Without a P1-P2 DCB file the satellites' biases are unknowns of the fit too.
            const bool withSatellites = (job_.dcb.loaded & DcbTable::kP1p2Loaded) == 0;
            std::vector<int> satellites;
            const std::vector<ModelSample> samples = modelSamples(withSatellites, satellites);
            ModelFit fit;
            const ModelFitStatus status = FitReceiverBiasModel(samples, job_.station.latitude_deg, day_, fit,
                                                               static_cast<int>(satellites.size()));
            log_.append(strfmt("\r\nInfo! receiver bias model: %s, %.2f +- %.2f TECU (%.3f +- %.3f ns), "
                               "%d samples (%d rejected), %d unknowns, residual RMS %.2f TECU, lowest model "
                               "TEC %.1f TECU",
                               modelFitStatusText(status), fit.rxBias_TECU, fit.rxBiasSigma_TECU,
                               fit.rxBias_TECU / kTecuPerNsP1P2, fit.rxBiasSigma_TECU / kTecuPerNsP1P2,
                               fit.samplesUsed, fit.samplesRejected, fit.unknowns, fit.residualRms_TECU,
                               fit.lowestModelTec_TECU));
            if (status == ModelFitStatus::kFitted) {
                bias_.rxBiasStage1 = fit.rxBias_TECU;
                if (!satellites.empty()) applyModelSatelliteBiases(satellites, fit.satelliteBias_TECU);
                return true;
            }
            log_.append("\r\nWarning! receiver bias model not usable: receiver bias by minimum spread");
        }
        const bool found = MinimumSpreadBias(stage1Samples(), bias_.rxBiasStage1);
        if (found && options_.calibration != Calibration::kFloor) {
            log_.append(strfmt("\r\nInfo! receiver bias by minimum spread: %.1f TECU (%.3f ns)", bias_.rxBiasStage1,
                               bias_.rxBiasStage1 / kTecuPerNsP1P2));
        }
        return found;
    }

    // The valid records of the processed day above the model's mask, satellite bias out.
    // `withSatellites`: each GPS satellite with samples gets an index, its number in
    // `satellites` at that index.
    std::vector<ModelSample> modelSamples(bool withSatellites, std::vector<int>& satellites) const {
        std::vector<ModelSample> samples;
        for (const auto& [satNo, series] : grid_) {
            if (!calibrated(satNo)) continue;
            const int index = withSatellites ? static_cast<int>(satellites.size()) : -1;
            const std::size_t before = samples.size();
            for (const auto& [epochMjd, r] : series) {
                if (r.valid != 1 || r.elevation_deg <= kModelElevationMask_deg) continue;
                if (epochMjd < day_ || epochMjd >= day_ + 1.0) continue;
                samples.push_back(
                    {epochMjd, r.slantTec, mappingFactor(r), r.ippLatitude_deg, r.ippLongitude_deg, index});
            }
            if (withSatellites && samples.size() > before) satellites.push_back(satNo);
        }
        return samples;
    }

    // The model's satellite biases (added to slant TEC) become the satellite biases of the
    // day (subtracted), in the working copy too.
    void applyModelSatelliteBiases(const std::vector<int>& satellites, const std::vector<double>& added_TECU) {
        for (std::size_t k = 0; k < satellites.size() && k < added_TECU.size(); ++k) {
            bias_.satBias[satellites[k]] = -added_TECU[k];
        }
        forGrid([this](int satNo, TecRecord& r) {
            r.slantTec -= satBias(satNo);
            r.verticalTec = r.slantTec * mappingFactor(r);
        });
        log_.append(strfmt("\r\nInfo! satellite biases of %zu GPS satellites estimated with the model (zero mean)",
                           satellites.size()));
    }

    double satBias(int satNo) const { return calibrated(satNo) ? bias_.satBias[satNo] : 0.0; }

    double interchannel(int satNo, double epochMjd) const {
        if (!calibrated(satNo)) return 0.0;
        const auto found = bias_.segments.find(satNo);
        return found == bias_.segments.end() ? 0.0 : found->second.correctionAt(epochMjd);
    }

    template <typename Change>
    void forGrid(Change change) {
        for (auto& [satNo, series] : grid_) {
            for (auto& [epochMjd, r] : series) change(satNo, r);
        }
    }

    // Every GPS satellite of the day: -2.852 TECU per ns of its P1-P2 bias.
    void setSatelliteBiases() {
        const bool loaded = (job_.dcb.loaded & DcbTable::kP1p2Loaded) != 0;
        for (const auto& [satNo, series] : job_.tec) {
            if (calibrated(satNo)) bias_.satBias[satNo] = loaded ? -kTecuPerNsP1P2 * job_.dcb.p1p2[satNo] : 0.0;
        }
    }

    void setInterchannelBiases(const TwoSigmaCurve& curve) {
        for (auto& [satNo, segments] : bias_.segments) {
            SatelliteInterchannel(grid_.at(satNo), curve, day_, segments.gaps, bias_.interchannelBias[satNo],
                                  segments.corrections);
        }
        for (std::size_t prn = 0; prn < bias_.totalBias.size(); ++prn) {
            bias_.totalBias[prn] = bias_.satBias[prn] + bias_.interchannelBias[prn];
        }
    }

    // Records of the processed day above 25 deg, in epoch order.
    std::vector<SpreadSample> stage1Samples() const {
        std::vector<SpreadSample> samples;
        for (const auto& [satNo, series] : grid_) {
            if (!calibrated(satNo)) continue;
            for (const auto& [epochMjd, r] : series) {
                if (r.valid != 1 || r.elevation_deg <= kStage1Elevation_deg) continue;
                if (epochMjd < day_ + kSecond_day || epochMjd > day_ + 1.0 - kSecond_day) continue;
                samples.push_back({epochMjd, r.slantTec, mappingFactor(r)});
            }
        }
        std::stable_sort(samples.begin(), samples.end(),
                         [](const SpreadSample& a, const SpreadSample& b) { return a.epochMjd < b.epochMjd; });
        return samples;
    }

    // Vertical TEC of the valid records above 30 deg strictly between `lowest` and
    // `highest`, in epoch order; no more than the table's record count less 2.
    std::vector<TimedValue> curveValues(const TecTable& table, double lowest, double highest, std::size_t records) {
        const std::size_t limit = records > 2 ? records - 2 : 0;
        std::vector<TimedValue> values;
        for (const auto& [satNo, series] : table) {
            if (!calibrated(satNo)) continue;
            for (const auto& [epochMjd, r] : series) {
                if (r.valid != 1 || r.elevation_deg <= kCurveElevation_deg) continue;
                if (!(r.verticalTec > lowest && r.verticalTec < highest)) continue;
                if (values.size() >= limit) {
                    log_.append(kCountLimitText);
                    return sortedByEpoch(std::move(values));
                }
                values.push_back({epochMjd, r.verticalTec});
            }
        }
        return sortedByEpoch(std::move(values));
    }

    static std::vector<TimedValue> sortedByEpoch(std::vector<TimedValue> values) {
        std::stable_sort(values.begin(), values.end(),
                         [](const TimedValue& a, const TimedValue& b) { return a.epochMjd < b.epochMjd; });
        return values;
    }

    // Whether the curve was formed; a bin overflow is logged with `overflowText`.
    bool formCurve(const std::vector<TimedValue>& values, TwoSigmaCurve& curve, const char* overflowText) {
        std::vector<double> hours;
        std::vector<double> tec;
        hours.reserve(values.size());
        tec.reserve(values.size());
        for (const TimedValue& v : values) {
            hours.push_back((v.epochMjd - day_) * 24.0);
            tec.push_back(v.tec);
        }
        if (TwoSigmaItr(hours, tec, kTenthHourBins, curve) == kTwoSigmaBinOverflow) {
            log_.append(overflowText);
            return false;
        }
        return true;
    }

    // The curve of passes 2 to 4.
    BiasResult gridCurve(TwoSigmaCurve& curve) {
        const std::vector<TimedValue> values =
            curveValues(grid_, kGridCurveLowest_TECU, kLaterCurveHighest_TECU, recordCount(grid_));
        if (values.size() < kMinGridCurveValues) {
            log_.append(kFewValuesText);
            return BiasResult::kFewValues;
        }
        return formCurve(values, curve, kGridOverflowText) ? BiasResult::kApplied : BiasResult::kBinOverflow;
    }

    // Pass 5: the biases out of the day's table itself. The stage-2 bias is a vertical one.
    BiasResult finalPass() {
        for (auto& [satNo, series] : job_.tec) {
            for (auto& [epochMjd, r] : series) {
                r.slantTec += bias_.rxBiasStage1 - satBias(satNo) - interchannel(satNo, epochMjd);
                r.verticalTec = r.slantTec * mappingFactor(r) + bias_.rxBiasStage2;
                clearOutside(r, kFinalValidHighest_TECU);
            }
        }
        bias_.figures.removedTec = FigureTec(job_.tec, day_);

        const std::vector<TimedValue> values =
            curveValues(job_.tec, kValidLowest_TECU, kFinalCurveHighest_TECU, recordCount(job_.tec));
        if (values.size() < kMinCurveValues) {
            log_.append(kFewValuesText);
            return BiasResult::kFewValues;
        }
        if (!formCurve(values, bias_.finalCurve, kFinalOverflowText)) return BiasResult::kBinOverflow;
        curveExtremes(bias_.finalCurve, bias_.minTecAverage, bias_.maxTecAverage);
        return BiasResult::kApplied;
    }

    DayJob& job_;
    RunLog& log_;
    const BiasOptions& options_;
    BiasResults& bias_;
    const double day_;
    const IonoMapping mapping_;
    TecTable grid_;  // the 3-minute working copy
};

}  // namespace

BiasResult EstimateBiases(DayJob& job, RunLog& log, const BiasOptions& options) {
    job.bias.clear();
    return BiasRun(job, log, options).run();
}

}  // namespace velarix
