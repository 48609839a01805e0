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
#include "test_support.h"

namespace {

std::unique_ptr<RealDay> calibrate(const std::string& set, const std::string& obs, const std::string& nav,
                                   const std::string& p1p2All, const std::string& p1c1) {
    auto day = std::make_unique<RealDay>();
    day->folder = sharedDataDir() + set;
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
    RunLog log;
    if (ReadDayFiles(job, files, log) != kDayRead || RawAnalyse(job, log) != 0) {
        ADD_FAILURE() << set << " could not be read: " << log.messages;
        return nullptr;
    }
    GetS4(job, S4Config{programDirectory(), {}}, log);
    day->uncalibrated = job.tec;
    day->biasResult = EstimateBiases(job, log);
    day->log = log.messages;
    return day;
}

const RealDay* cached(const std::string& set, const std::string& obs, const std::string& nav,
                      const std::string& p1p2All, const std::string& p1c1) {
    static std::map<std::string, std::unique_ptr<RealDay>> days;
    if (sharedDataDir().empty()) return nullptr;
    auto found = days.find(set);
    if (found == days.end()) found = days.emplace(set, calibrate(set, obs, nav, p1p2All, p1c1)).first;
    if (found->second == nullptr) ADD_FAILURE() << set << " is not available";
    return found->second.get();
}

}  // namespace

const RealDay* BjfsDay() {
    return cached("set1_bjfs_2020_001/", "bjfs0010.20o", "brdc0010.20n", "P1P22001_ALL.DCB.Z", "P1C12001.DCB.Z");
}

const RealDay* Cat2Day() {
    return cached("set3_cat2_2016_001/", "cat20010.16o", "cat20010.16n", "P1P21601_ALL.DCB.Z", "P1C11601.DCB.Z");
}
