// OBS_readR3 on the largest full-day observation files of the shared data: throughput in
// MB of plain RINEX per second, and the peak memory of one read against the plain file's
// size. Each file is expanded once beforehand.
//
// Peak memory: this program runs itself as a child that reads the file once; its maximum
// resident set (wait4) less that of a child that reads nothing is the memory the read
// took. A fresh process, so that no memory freed earlier can be reused unseen.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "decompress/plain_copy.h"
#include "rinex/obs_reader.h"

using namespace velarix;

namespace {

const std::string kData = VELARIX_SHARED_DATA "/";

struct Input {
    const char* label;
    const char* path;      // the largest day of its version
    const char* fallback;  // a plain day, when the decoders cannot expand the first
};

const Input kInputs[] = {
    {"rinex3", "set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz", "set1_bjfs_2020_001/bjfs0010.20o"},
    {"rinex2", "set6_bele_dgar_2024_010/bele0100.24d.gz", "set3_cat2_2016_001/cat20010.16o"},
};

// The plain copy of an input, made once and kept for the whole run.
const PlainCopy* plainCopy(const Input& input) {
    static std::map<std::string, std::unique_ptr<PlainCopy>> copies;
    std::unique_ptr<PlainCopy>& copy = copies[input.label];
    if (copy == nullptr) {
        copy = std::make_unique<PlainCopy>(kData + input.path);
        if (!copy->ok()) copy = std::make_unique<PlainCopy>(kData + input.fallback);
    }
    std::error_code error;
    return copy->ok() && std::filesystem::is_regular_file(copy->path(), error) ? copy.get() : nullptr;
}

void readOnce(const std::string& path) {
    ObsTable table;
    Rinex3ObsHeader header;
    RunLog log;
    OBS_readR3(path, table, header, log);
    benchmark::DoNotOptimize(table.bySatellite.size());
}

constexpr const char* kChildOption = "--read-once=";

// Maximum resident set, in bytes, of this program run with --read-once=PATH; -1 on failure.
long childPeakBytes(const std::string& path) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        const std::string option = kChildOption + path;
        execl("/proc/self/exe", "bench_obs_reader", option.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return usage.ru_maxrss * 1024L;  // kilobytes on Linux
}

// Bytes one read of the file takes at its peak; -1 when it cannot be measured.
long readPeakBytes(const std::string& path) {
    static std::map<std::string, long> peaks;
    const auto found = peaks.find(path);
    if (found != peaks.end()) return found->second;
    const long baseline = childPeakBytes("");
    const long peak = childPeakBytes(path);
    return peaks[path] = baseline < 0 || peak < 0 ? -1 : peak - baseline;
}

void BM_ObsRead(benchmark::State& state, const Input& input) {
    const PlainCopy* plain = plainCopy(input);
    if (plain == nullptr) {
        state.SkipWithError("the input cannot be made plain");
        return;
    }
    const long peakBytes = readPeakBytes(plain->path());
    if (peakBytes < 0) {
        state.SkipWithError("cannot measure the child's memory");
        return;
    }
    const auto size = static_cast<double>(std::filesystem::file_size(plain->path()));
    for (auto _ : state) readOnce(plain->path());
    state.counters["MB/s"] = benchmark::Counter(size * static_cast<double>(state.iterations()) / 1e6,
                                                benchmark::Counter::kIsRate);
    const auto grown = static_cast<double>(peakBytes);
    state.counters["plain_MB"] = size / 1e6;
    state.counters["peak_MB"] = grown / 1e6;
    state.counters["peak/plain"] = grown / size;
    state.SetLabel(std::filesystem::path(plain->path()).filename().string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]).rfind(kChildOption, 0) == 0) {
        const std::string path = argv[1] + std::string(kChildOption).size();
        if (!path.empty()) readOnce(path);
        return 0;
    }
    if (!std::filesystem::is_directory(VELARIX_SHARED_DATA)) {
        std::printf("bench_obs_reader: %s not found; shared data absent, nothing measured\n", kData.c_str());
        return 0;
    }
    for (const Input& input : kInputs) {
        benchmark::RegisterBenchmark((std::string("BM_ObsRead/") + input.label).c_str(), BM_ObsRead, input)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
