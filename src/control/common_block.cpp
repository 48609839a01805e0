#include "control/common_block.h"

#include <algorithm>

#include "control/day_outputs.h"
#include "gnss/s4/s4_stage.h"
#include "platform/strfmt.h"

namespace velarix {

namespace {

constexpr std::size_t kMinSatellites = 4;

bool holdsTec(const TecTable& tec) {
    return std::any_of(tec.begin(), tec.end(), [](const auto& entry) { return !entry.second.empty(); });
}

void showTitle(const DayEnvironment& environment, const std::string& text) {
    if (environment.window != nullptr) environment.window->setStatus(StatusLine::Title, text);
}

}  // namespace

RinexDayResult RunCommonBlock(DayJob& job, const DayEnvironment& environment, const CommonBlockSteps& steps,
                              RunLog& log, std::vector<std::string>* written) {
    const std::string savedTitle =
        environment.window != nullptr ? environment.window->statusText(StatusLine::Title) : std::string();
    if (steps.observedSatellites < kMinSatellites) {
        log.say(steps.fewSatellitesText);
        return RinexDayResult::kTooFewSatellites;
    }
    const int derived = steps.deriveTec(job, log);
    if (derived != 0) {
        log.say(strfmt("\r\nSome errors in observation processing... err = %d \r\n", derived));
        return RinexDayResult::kNoTec;
    }
    if (!holdsTec(job.tec)) {
        log.say("\r\nError! no TEC derived: no satellite has both a current ephemeris and the observables for TEC\r\n");
        return RinexDayResult::kNoTec;
    }
    log.refresh();
    if (steps.lastStage == DayStage::kTec) return RinexDayResult::kDone;

    GetS4(job, S4Config{environment.programDir, environment.options.s4ArchiveRoots}, log);
    if ((job.dcb.loaded & DcbTable::kP1p2Loaded) == 0) {
        log.append(job.dcb.loaded == 0 ? "\r\nWarning! no usable DCB file: every satellite bias is zero\r\n"
                                       : "\r\nWarning! no usable P1-P2 DCB file: every satellite bias is zero\r\n");
    }
    const BiasResult biases = EstimateBiases(job, log, steps.bias);
    if (biases == BiasResult::kFewValues) {
        log.say(strfmt("\r\nError! Rx bais out of bounds (extreme TEC values code= %d or few TEC points)\r\n",
                       statusCode(biases)));
        return RinexDayResult::kRxBiasOutOfBounds;
    }
    if (biases != BiasResult::kApplied) {
        log.say(strfmt("\r\nSome errors in receiver bais processing... err = %d \r\n", statusCode(biases)));
    }
    log.say(biasSummaryText(job));
    if (steps.lastStage == DayStage::kCalibrated) return RinexDayResult::kDone;

    showTitle(environment, "Writing output file(s).. wait");
    const RinexDayResult outputs = writeDayOutputs(job, environment, log, written, steps.productBase);
    showTitle(environment, savedTitle);
    if (outputs != RinexDayResult::kDone) return outputs;
    log.say("\r\nEnd of common process...........\r\n");
    return RinexDayResult::kDone;
}

}  // namespace velarix
