#include "real_day.h"

#include <gtest/gtest.h>

#include <list>
#include <map>
#include <memory>

#include "control/classify.h"
#include "decompress/plain_copy.h"
#include "gnss/bias/bias_estimation.h"
#include "gnss/day_reading.h"
#include "gnss/s4/s4_stage.h"
#include "gnss/tec/raw_analyse.h"
#include "platform/paths.h"
#include "stations/igs_stations.h"
#include "test_support.h"

namespace {

const StationCatalogue& igsStations() {
    static const StationCatalogue catalogue = [] {
        StationCatalogue stations;
        EXPECT_EQ(readIgsStationFile(std::string(VELARIX_SOURCE_DIR) + "/data/IGS_stations.txt", stations), 0);
        return stations;
    }();
    return catalogue;
}

std::unique_ptr<RealDay> calibrate(const std::string& folder, const std::string& obs, const std::string& nav,
                                   const std::string& p1p2All, const std::string& p1c1) {
    auto day = std::make_unique<RealDay>();
    day->folder = folder;
    const std::string obsPath = day->folder + obs;
    std::list<PlainCopy> copies;
    for (const std::string& name : {nav, p1p2All, p1c1}) {
        if (!copies.emplace_back(day->folder + name).ok()) {
            ADD_FAILURE() << "cannot expand " << name;
            return nullptr;
        }
    }
    auto copy = copies.begin();
    DayFiles files;
    files.observationPath = obsPath;
    files.navigationPaths = {(copy++)->path()};
    files.p1p2AllPath = (copy++)->path();
    files.p1c1Path = copy->path();

    DayJob& job = day->job;
    const InputFileInfo info = classify(obsPath);
    job.context.reset(obsPath);
    job.context.inputPath = obsPath;
    job.context.stationCode = info.stationCode;
    job.context.year = info.year;
    job.context.month = info.month;
    job.context.dayOfMonth = info.day;
    job.context.dayOfYear = info.dayOfYear;
    setInputKindFlags(job.kinds, info);
    job.kinds.rinexObs = 1;
    job.context.station = findStation(igsStations(), info.stationCode);
    RunLog log;
    if (ReadDayFiles(job, files, log) != kDayRead || RawAnalyse(job, log) != 0) {
        ADD_FAILURE() << folder << " could not be read: " << log.messages;
        return nullptr;
    }
    GetS4(job, S4Config{programDirectory(), {}}, log);
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
