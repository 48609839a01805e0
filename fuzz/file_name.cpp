// Fuzz target: any bytes as a file path, classified by its name (against a fixed "now"),
// then turned into the input-kind flags and the decoding steps.
#include <cstddef>
#include <cstdint>
#include <string>

#include "control/classify.h"
#include "gnss/day_job.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr double kNowMjd = 61114.5;  // 2026-03-15 12:00
    const InputFileInfo info = classify(std::string(reinterpret_cast<const char*>(data), size), kNowMjd);
    InputKindFlags flags;
    setInputKindFlags(flags, info);
    rinexCompressionCode(info);
    return 0;
}
