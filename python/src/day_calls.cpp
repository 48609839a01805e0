#include "day_calls.h"

#include <filesystem>
#include <memory>

#include "control/file_search.h"
#include "control/given_dcb.h"
#include "control/rinex_job.h"
#include "gnss/bias/calibration.h"
#include "platform/dir_search.h"
#include "platform/run_log.h"
#include "platform/safe_output.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "tec_arrays.h"
#include "ui/command_line.h"

namespace velarix::python_module {

namespace {

// How far the day goes for a calibration word: "" stops before the bias stage.
DayStage stageFor(const std::string& calibration) {
    if (calibration.empty()) return DayStage::kTec;
    Calibration known = Calibration::kFloor;
    if (parseCalibration(calibration, known)) return DayStage::kCalibrated;
    throw py::value_error("calibration '" + calibration +
                          "' is unknown: use floor, spread, dcb or model, or None for TEC before calibration");
}

RunOptions runOptionsFor(const DayCallOptions& call, int defaultFiles, int defaultImages) {
    RunOptions options;
    options.fileWord = defaultFiles;
    options.imageWord = defaultImages;
    if (!call.calibration.empty() && !parseCalibration(call.calibration, options.calibration)) {
        throw py::value_error("calibration '" + call.calibration + "' is unknown: use floor, spread, dcb or model");
    }
    if (!call.mapping.empty() && !parseMapping(call.mapping, options.mapping)) {
        throw py::value_error("mapping '" + call.mapping + "' is unknown: use thin-shell or mslm");
    }
    std::string bad;
    if (!call.products.empty() && !parseProductList(call.products, options.fileWord, bad)) {
        throw py::value_error("unknown product '" + bad + "' (cmn, std, bias, depletion, dat, or none)");
    }
    if (!call.images.empty() && !parseImageList(call.images, options.imageWord, bad)) {
        throw py::value_error("unknown image '" + bad + "' (tec24, prn, bias, depletion, hires, or none)");
    }
    if (!call.productsDir.empty()) {
        std::error_code error;
        if (!std::filesystem::is_directory(call.productsDir, error)) {
            throw py::value_error(call.productsDir + " is not a folder");
        }
        options.separateTarget = true;
        options.targetDir = std::filesystem::absolute(call.productsDir, error).lexically_normal().string();
        if (!endsWith(options.targetDir, "/")) options.targetDir += "/";
    }
    return options;
}

GivenDayFiles givenFiles(const std::string& navigation, const std::vector<std::string>& dcb) {
    GivenDayFiles given;
    given.navigation = {navigation};
    const std::string refused = sortGivenDcbFiles(dcb, given);
    if (!refused.empty()) throw py::value_error(refused);
    return given;
}

StationCatalogue stationList(const std::string& dataDir) {
    // The list gives the position of a listed station whose header has none, and the
    // station's name on the products; a day can go on without it.
    StationCatalogue stations;
    if (loadIgsStations(dataDir, stations) != IgsReadResult::kRead) stations.clear();
    return stations;
}

// Runs the day without the interpreter lock: nothing in it touches Python.
RinexDayResult runDay(const DayRequest& request, const DayEnvironment& environment, DayJob& job, RunLog& log,
                      std::vector<std::string>& written) {
    py::gil_scoped_release release;
    return RunRinexDay(request, environment, job, log, &written);
}

py::dict resultDict(RinexDayResult result, const RunLog& log, const std::vector<std::string>& written) {
    py::dict out;
    out["code"] = statusCode(result);
    out["reason"] = rinexDayResultText(result);
    out["log"] = withLineFeeds(log.messages);
    py::list paths;
    for (const std::string& path : written) paths.append(path);
    out["written"] = paths;
    return out;
}

}  // namespace

py::dict ProcessGivenDay(const std::string& observation, const std::string& navigation,
                         const std::vector<std::string>& dcb, const DayCallOptions& call) {
    DayRequest request;
    request.inputPath = observation;
    request.observationFiles = {observation};
    request.dataDirectory = directoryOf(observation);
    request.workDirectory = temporaryDirectory() + "/";
    request.given = givenFiles(navigation, dcb);
    request.lastStage = stageFor(call.calibration);
    const int allFiles = kCmnFile | kStdFile | kBiasFile | kDatFile;
    const int threePlots = kTec24HourImage | kTecPrnImages | kBiasedUnbiasedPlot;
    const RunOptions options = runOptionsFor(call, allFiles, threePlots);
    if (options.separateTarget) {
        if (request.lastStage != DayStage::kCalibrated) {
            throw py::value_error("products need the calibrated TEC: pass a calibration with products_dir");
        }
        request.lastStage = DayStage::kProducts;
        request.targetDirectory = options.targetDir;
    }

    const StationCatalogue stations = stationList(call.dataDir);
    const DayEnvironment environment{&stations, options, call.dataDir, {}, nullptr};
    auto job = std::make_unique<DayJob>();
    RunLog log;
    std::vector<std::string> written;
    const RinexDayResult result = runDay(request, environment, *job, log, written);

    py::dict out = resultDict(result, log, written);
    if (result != RinexDayResult::kDone) return out;
    AddTecArrays(job->tec, out);
    if (request.lastStage != DayStage::kTec) out["biases"] = BiasDict(job->bias);
    out["station"] = StationDict(*job);
    out["interval_s"] = job->dataInterval_s;
    out["day_start_mjd"] = job->dayStartMjd;
    return out;
}

py::dict RunArchiveDay(const std::string& observation, const DayCallOptions& call) {
    const RunOptions options = runOptionsFor(call, kCmnFile | kStdFile | kBiasFile, kTec24HourImage);
    RunLog log;
    std::vector<std::string> written;
    RinexDayResult result = RinexDayResult::kNoInput;
    {
        py::gil_scoped_release release;
        FileSearch search;
        if (search.checkPath(observation) != PathCheck::kFound) {
            log.say("\r\nError! No file(s) found.. exited. Choose file again!.");
        } else {
            DayRequest request;
            request.inputPath = observation;
            request.observationFiles =
                search.countOneDayFiles() > 1 ? search.oneDayFiles() : std::vector<std::string>{observation};
            request.dataDirectory = directoryOf(observation);
            request.targetDirectory = options.separateTarget ? options.targetDir : request.dataDirectory;
            request.workDirectory = request.targetDirectory;
            const StationCatalogue stations = stationList(call.dataDir);
            const DayEnvironment environment{&stations, options, call.dataDir, {}, nullptr};
            auto job = std::make_unique<DayJob>();
            result = RunRinexDay(request, environment, *job, log, &written);
        }
    }
    if (result != RinexDayResult::kDone) {
        log.appendError(strfmt("%s .. day not processed (err = %d): %s\r\n", observation.c_str(), statusCode(result),
                               rinexDayResultText(result)));
    }
    py::dict out = resultDict(result, log, written);
    // The texts as the program's own log files hold them (CR LF), for AppendRunLogs.
    out["log_text"] = log.messages;
    out["error_text"] = log.errors;
    return out;
}

bool AppendRunLogs(const std::string& directory, const std::string& messages, const std::string& errors) {
    RunLog log;
    log.messages = messages;
    log.errors = errors;
    std::string folder = directory;
    if (!endsWith(folder, "/")) folder += "/";
    return log.flush(folder);
}

}  // namespace velarix::python_module
