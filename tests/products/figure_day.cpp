#include "figure_day.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "control/classify.h"
#include "decompress/plain_copy.h"
#include "gnss/bias/bias_estimation.h"
#include "gnss/day_reading.h"
#include "gnss/s4/s4_stage.h"
#include "gnss/tec/raw_analyse.h"
#include "stations/igs_stations.h"

namespace {

DayJob readBjfs() {
    const std::string examples = std::string(VELARIX_SOURCE_DIR) + "/examples/";
    const PlainCopy p1c1(examples + "P1C12001.DCB.Z"), p1p2(examples + "P1P22001_ALL.DCB.Z");
    DayJob job;
    RunLog log;
    const std::string observation = examples + "bjfs0010.20o";
    const InputFileInfo info = classify(observation);
    job.context.reset(observation);
    job.context.stationCode = info.stationCode;
    setInputKindFlags(job.kinds, info);
    job.kinds.rinexObs = 1;
    const DayFiles files{observation, {examples + "brdc0010.20n"}, p1c1.path(), "", p1p2.path()};
    EXPECT_EQ(ReadDayFiles(job, files, log), kDayRead) << log.messages;
    EXPECT_EQ(RawAnalyse(job, log), 0) << log.messages;
    GetS4(job, S4Config{std::string(VELARIX_SOURCE_DIR) + "/data", {}}, log);
    EXPECT_EQ(EstimateBiases(job, log), 0) << log.messages;
    return job;
}

}  // namespace

const DayJob& BjfsDay() {
    static StationCatalogue catalogue;
    static const DayJob job = [] {
        DayJob day = readBjfs();
        EXPECT_EQ(readIgsStationFile(std::string(VELARIX_SOURCE_DIR) + "/data/IGS_stations.txt", catalogue), 0);
        day.context.station = findStation(catalogue, "BJFS");
        return day;
    }();
    return job;
}

TecRecord figureRecord(double epochMjd, double verticalTec, double elevation_deg, double ippLatitude_deg) {
    TecRecord r;
    r.epochMjd = epochMjd;
    r.verticalTec = verticalTec;
    r.elevation_deg = elevation_deg;
    r.ippLatitude_deg = ippLatitude_deg;
    return r;
}

void addPass(DayJob& job, int satNo, double fromHour, int count, double step_s, double verticalTec,
             double elevation_deg) {
    for (int i = 0; i < count; ++i) {
        const double epoch = kFigureDay + fromHour / 24.0 + i * step_s / 86400.0;
        job.tec[satNo][epoch] = figureRecord(epoch, verticalTec, elevation_deg);
    }
}

bool nearColour(Colour a, Colour b) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 24) return false;
    }
    return true;
}

std::string figurePath(const std::string& dir, const std::string& name) {
    const char* keep = std::getenv("VELARIX_FIGURE_DIR");
    return (keep != nullptr && *keep != '\0' ? std::string(keep) + "/" : dir) + name;
}
