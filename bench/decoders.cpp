// Throughput of the three decoders on the largest suitable files of the shared data, in
// MB of output per second: .Z (a CODE ionosphere map), Compact RINEX (a RINEX 3 day of
// ESBC, gunzipped once beforehand) and gzip (a RINEX 2 day of DGAR). Wall-clock time,
// writing the output file included.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "decompress/decompress_crx.h"
#include "decompress/decompress_gz.h"
#include "decompress/decompress_z.h"
#include "scratch_dir.h"

using namespace velarix;

namespace {

const std::string kData = VELARIX_SHARED_DATA "/";
const std::string kZFile = kData + "set1_bjfs_2020_001/codg0010.20i.Z";
const std::string kCrxGzFile = kData + "set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz";
const std::string kGzFile = kData + "set6_bele_dgar_2024_010/dgar0100.24o.gz";

using Decoder = DecodeStatus (*)(const std::string&, const std::string&, std::string&);

void runDecoder(benchmark::State& state, Decoder decoder, const std::string& input) {
    const std::string output = scratch().dir + "out";
    std::string message;
    double megabytes = 0.0;
    for (auto _ : state) {
        if (decoder(input, output, message) != DecodeStatus::kOk) {
            state.SkipWithError(("decoder failed: " + message).c_str());
            return;
        }
        megabytes += static_cast<double>(std::filesystem::file_size(output)) / 1e6;
    }
    state.counters["out_MB/s"] = benchmark::Counter(megabytes, benchmark::Counter::kIsRate);
    state.counters["out_MB"] = megabytes / static_cast<double>(state.iterations());
}

void BM_DecompressZ(benchmark::State& state) { runDecoder(state, DecompressZ, kZFile); }
void BM_DecompressCrx(benchmark::State& state) {
    static const std::string plain = [] {
        const std::string path = scratch().dir + "esbc.crx";
        std::string message;
        return DecompressGz(kCrxGzFile, path, message) == DecodeStatus::kOk ? path : std::string();
    }();
    if (plain.empty()) {
        state.SkipWithError("cannot gunzip the Compact RINEX file");
        return;
    }
    runDecoder(state, DecompressCrx, plain);
}
void BM_DecompressGz(benchmark::State& state) { runDecoder(state, DecompressGz, kGzFile); }

}  // namespace

int main(int argc, char** argv) {
    for (const std::string& file : {kZFile, kCrxGzFile, kGzFile}) {
        if (!std::filesystem::exists(file)) {
            std::printf("bench_decoders: %s not found; shared data absent, nothing measured\n", file.c_str());
            return 0;
        }
    }
    if (scratch().dir.empty()) {
        std::printf("bench_decoders: cannot create a scratch folder\n");
        return 1;
    }
    benchmark::RegisterBenchmark("DecompressZ/codg0010.20i.Z", BM_DecompressZ)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("DecompressCrx/ESBC00DNK_R_20201770000_01D_30S_MO.crx", BM_DecompressCrx)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("DecompressGz/dgar0100.24o.gz", BM_DecompressGz)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
