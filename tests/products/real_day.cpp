#include "real_day.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "control/rinex_job.h"
#include "gnss/bias/bias_estimation.h"
#include "gnss/s4/s4_stage.h"
#include "platform/paths.h"
#include "stations/igs_stations.h"
#include "test_support.h"

namespace velarix {

namespace {

const StationCatalogue& igsStations() {
    static const StationCatalogue catalogue = [] {
        StationCatalogue stations;
        EXPECT_EQ(readIgsStationFile(std::string(VELARIX_SOURCE_DIR) + "/data/IGS_stations.txt", stations),
                  IgsReadResult::kRead);
        return stations;
    }();
    return catalogue;
}

// The day read and its TEC derived by the job, as `tec` does it; then the S4 and bias
// stages, so that the TEC before the calibration can be kept.
std::unique_ptr<RealDay> calibrate(const std::string& folder, const std::string& obs, const std::string& nav,
                                   const std::string& p1p2All, const std::string& p1c1) {
    auto day = std::make_unique<RealDay>();
    day->folder = folder;
    TempDir work;
    DayRequest request;
    request.inputPath = folder + obs;
    request.observationFiles = {request.inputPath};
    request.dataDirectory = request.targetDirectory = folder;
    request.workDirectory = work.path();
    request.given = GivenDayFiles{{folder + nav}, folder + p1c1, "", folder + p1p2All, ""};
    request.lastStage = DayStage::kTec;
    DayEnvironment environment;
    environment.stations = &igsStations();
    environment.programDir = programDirectory();

    DayJob& job = day->job;
    RunLog log;
    if (RunRinexDay(request, environment, job, log) != RinexDayResult::kDone) {
        ADD_FAILURE() << folder << " could not be read: " << log.messages;
        return nullptr;
    }
    GetS4(job, S4Config{environment.programDir, {}}, log);
    day->uncalibrated = job.tec;
    day->biasResult = EstimateBiases(job, log);
    day->log = log.messages;
    return day;
}

const RealDay* cached(const std::string& folder, const std::string& obs, const std::string& nav,
                      const std::string& p1p2All, const std::string& p1c1) {
    static std::map<std::string, std::unique_ptr<RealDay>> days;
    auto found = days.find(folder);
    if (found == days.end()) found = days.emplace(folder, calibrate(folder, obs, nav, p1p2All, p1c1)).first;
    if (found->second == nullptr) ADD_FAILURE() << folder << " is not available";
    return found->second.get();
}

}  // namespace

const RealDay* BjfsDay() {
    return cached(std::string(VELARIX_SOURCE_DIR) + "/examples/", "bjfs0010.20o", "brdc0010.20n",
                  "P1P22001_ALL.DCB.Z", "P1C12001.DCB.Z");
}

const RealDay* Cat2Day() {
    if (sharedDataDir().empty()) return nullptr;
    return cached(sharedDataDir() + "set3_cat2_2016_001/", "cat20010.16o", "cat20010.16n", "P1P21601_ALL.DCB.Z", "P1C11601.DCB.Z");
}

}  // namespace velarix
