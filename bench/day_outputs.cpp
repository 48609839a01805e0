// The text products of one real station-day (BJFS 2020-001, calibrated), written alone:
// ".Cmn", ".Std", ".Bias" and CESAR ".dat", as the end of the RINEX job writes them. Beside
// it the day up to the calibration, so that the writers' share of a day can be read off:
// writers / (day + writers). Plots are not part of either figure.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "control/rinex_job.h"
#include "products/day_products.h"
#include "scratch_dir.h"
#include "stations/igs_stations.h"

using namespace velarix;

namespace {

const std::string kDay = VELARIX_SHARED_DATA "/set1_bjfs_2020_001/";

const StationCatalogue& stations() {
    static const StationCatalogue catalogue = [] {
        StationCatalogue loaded;
        // The shipped list reads; were it missing, the day would only lose the station's labels.
        (void)readIgsStationFile(VELARIX_SOURCE_DIR "/data/IGS_stations.txt", loaded);
        return loaded;
    }();
    return catalogue;
}

// The day read, its TEC derived, S4 assigned and the biases removed.
RinexDayResult calibrate(DayJob& job, RunLog& log) {
    DayRequest request;
    request.inputPath = kDay + "bjfs0010.20o";
    request.observationFiles = {request.inputPath};
    request.dataDirectory = kDay;
    request.targetDirectory = request.workDirectory = scratch().dir;
    request.given = GivenDayFiles{{kDay + "brdc0010.20n"}, kDay + "P1C12001.DCB.Z", "", kDay + "P1P22001_ALL.DCB.Z", ""};
    request.lastStage = DayStage::kCalibrated;
    DayEnvironment environment;
    environment.stations = &stations();
    return RunRinexDay(request, environment, job, log);
}

void BM_DayToCalibration(benchmark::State& state) {
    for (auto _ : state) {
        DayJob job;
        RunLog log;
        if (calibrate(job, log) != RinexDayResult::kDone) {
            state.SkipWithError(("the day failed: " + log.messages).c_str());
            return;
        }
        benchmark::DoNotOptimize(job.tec.size());
    }
}

void BM_DayOutputs(benchmark::State& state) {
    static DayJob job;
    RunLog log;
    if (job.tec.empty() && calibrate(job, log) != RinexDayResult::kDone) {
        state.SkipWithError(("the day failed: " + log.messages).c_str());
        return;
    }
    DayProductRequest request;
    request.targetDir = scratch().dir;
    request.cesarDat = true;
    double bytes = 0.0;
    for (auto _ : state) {
        std::vector<std::string> written;
        RunLog writersLog;
        if (WriteDayProducts(job, request, {}, writersLog, &written) != ProductResult::kWritten) {
            state.SkipWithError("the products could not be written");
            return;
        }
        state.PauseTiming();
        for (const std::string& path : written) bytes += static_cast<double>(std::filesystem::file_size(path));
        state.ResumeTiming();
    }
    state.counters["out_MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsRate);
    state.counters["out_MB"] = bytes / 1e6 / static_cast<double>(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::filesystem::is_directory(kDay)) {
        std::printf("bench_day_outputs: %s not found; shared data absent, nothing measured\n", kDay.c_str());
        return 0;
    }
    if (scratch().dir.empty()) {
        std::printf("bench_day_outputs: cannot create a scratch folder\n");
        return 1;
    }
    benchmark::RegisterBenchmark("BM_DayToCalibration", BM_DayToCalibration)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_DayOutputs", BM_DayOutputs)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
