// The receiver bias by a local vertical TEC model: its refusals, and synthetic days on the
// real geometry of the sample day, whose receiver bias it must recover.
#include "gnss/bias/rx_bias_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "control/rinex_job.h"
#include "gnss/bias/bias_estimation.h"
#include "gnss/tec/tec_levelling.h"
#include "rinex/satellite_id.h"
#include "test_support.h"

namespace velarix {

namespace {

constexpr double kDay = 58849.0;
constexpr double kDegToRad = 0.017453292519943295;

// A smooth day: a 6 TECU night, a 14 TECU afternoon bump at 14 h local time, less to the
// north. Not of the model's own form: the model has to approximate it.
double syntheticVtec(double epochMjd, double ippLatitude_deg, double ippLongitude_deg) {
    double localTime_h = std::fmod((epochMjd - std::floor(epochMjd)) * 24.0 + ippLongitude_deg / 15.0, 24.0);
    if (localTime_h < 0.0) localTime_h += 24.0;
    const double fromPeak_h = std::remainder(localTime_h - 14.0, 24.0);
    return (6.0 + 14.0 * std::exp(-fromPeak_h * fromPeak_h / (2.0 * 3.5 * 3.5))) *
           (1.0 - 0.03 * (ippLatitude_deg - 40.0));
}

// The sample day's TEC table read with CODE's mapping: its geometry only is used.
const DayJob& sampleGeometry() {
    static const DayJob day = [] {
        DayJob job;
        TempDir work;
        const std::string examples = std::string(VELARIX_SOURCE_DIR) + "/examples/";
        DayRequest request;
        request.inputPath = examples + "bjfs0010.20o";
        request.observationFiles = {request.inputPath};
        request.dataDirectory = request.targetDirectory = examples;
        request.workDirectory = work.path();
        request.given = GivenDayFiles{{examples + "brdc0010.20n"}, "", "", "", ""};
        request.lastStage = DayStage::kTec;
        DayEnvironment environment;
        environment.options.mapping = IonoMapping::kMslm;
        RunLog log;
        EXPECT_EQ(RunRinexDay(request, environment, job, log), RinexDayResult::kDone) << log.messages;
        return job;
    }();
    return day;
}

}  // namespace

TEST(ReceiverBiasModel, RefusesTooFewSamplesAndAnUnfixableBias) {
    ModelFit fit;
    std::vector<ModelSample> samples(100, ModelSample{kDay + 0.5, 20.0, 0.8, 40.0, 116.0});
    EXPECT_EQ(FitReceiverBiasModel(samples, 40.0, kDay, fit), ModelFitStatus::kTooFewSamples);

    // Every sample at the same elevation: the bias cannot be told from the model's level.
    samples.clear();
    for (int i = 0; i < 2000; ++i) {
        samples.push_back({kDay + i / 2000.0, 20.0 + std::sin(i * 0.1), 0.8, 40.0 + (i % 7), 116.0 + (i % 11)});
    }
    EXPECT_EQ(FitReceiverBiasModel(samples, 40.0, kDay, fit), ModelFitStatus::kSingular);
}

// 20 noise draws on the sample day's geometry: a receiver bias of -14 ns, satellite biases
// of 3 TECU RMS (zero mean) that no DCB file gives, a levelling error per arc (1 TECU RMS),
// 0.1 TECU noise per record; the model's receiver bias within 0.3 ns of the truth on
// average, its satellite biases within 1 TECU RMS.
TEST(ReceiverBiasModel, RecoversTheReceiverBiasOfSyntheticDays) {
    const DayJob& geometry = sampleGeometry();
    ASSERT_FALSE(geometry.tec.empty());
    constexpr double kTrueBias_TECU = -14.0 * kTecuPerNsP1P2;
    DayJob day;
    day.station = geometry.station;
    day.dayStartMjd = geometry.dayStartMjd;
    day.mapping = IonoMapping::kMslm;
    std::mt19937 random(2020);
    std::normal_distribution<double> arcError(0.0, 1.0);
    std::normal_distribution<double> noise(0.0, 0.1);
    std::normal_distribution<double> satelliteBias(0.0, 3.0);
    double sumAbsError_ns = 0.0;
    double sumSquaredSatelliteError = 0.0;
    int satelliteErrors = 0;
    int fitted = 0;
    constexpr int kDraws = 20;
    for (int draw = 0; draw < kDraws; ++draw) {
        day.tec.clear();
        std::map<int, double> added;  // TECU, added to slant TEC like the receiver bias
        double mean = 0.0;
        for (const auto& [satNo, series] : geometry.tec) {
            if (isGpsPrn(satNo)) mean += (added[satNo] = satelliteBias(random));
        }
        mean /= static_cast<double>(added.size());
        for (auto& [satNo, value] : added) value -= mean;
        for (const auto& [satNo, series] : geometry.tec) {
            if (!isGpsPrn(satNo)) continue;
            TecSeries& synthetic = day.tec[satNo];
            double offset = arcError(random);
            double previous = -1.0;
            for (const auto& [epochMjd, r] : series) {
                if (r.elevation_deg <= 0.0) continue;
                if (previous > 0.0 && (epochMjd - previous) * 86400.0 > kArcGap_s) offset = arcError(random);
                previous = epochMjd;
                TecRecord s = r;
                const double m = MappingFactor(r.elevation_deg * kDegToRad, IonoMapping::kMslm);
                s.slantTec = syntheticVtec(epochMjd, r.ippLatitude_deg, r.ippLongitude_deg) / m - kTrueBias_TECU -
                             added[satNo] + offset + noise(random);
                s.verticalTec = s.slantTec * m;
                s.valid = 1;
                synthetic.emplace(epochMjd, s);
            }
        }
        RunLog log;
        BiasOptions options;
        options.calibration = Calibration::kModel;
        ASSERT_EQ(EstimateBiases(day, log, options), BiasResult::kApplied) << log.messages;
        ASSERT_TRUE(contains(log.messages, "receiver bias model: fitted")) << log.messages;
        fitted++;
        sumAbsError_ns += std::fabs(day.bias.rxBiasStage1 - kTrueBias_TECU) / kTecuPerNsP1P2;
        EXPECT_EQ(day.bias.rxBiasStage2, 0.0);
        for (const auto& [satNo, value] : added) {
            sumSquaredSatelliteError += std::pow(-day.bias.satBias[satNo] - value, 2);
            ++satelliteErrors;
        }
    }
    EXPECT_EQ(fitted, kDraws);
    const double meanAbsError_ns = sumAbsError_ns / kDraws;
    EXPECT_LE(meanAbsError_ns, 0.3);
    EXPECT_LE(std::sqrt(sumSquaredSatelliteError / satelliteErrors), 1.0);
    std::printf("model: mean |error| of the receiver bias over %d draws: %.3f ns; satellite biases: RMS error %.2f "
                "TECU\n", kDraws, meanAbsError_ns, std::sqrt(sumSquaredSatelliteError / satelliteErrors));
}

}  // namespace velarix
