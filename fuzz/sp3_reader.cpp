// Fuzz target: any bytes as an SP3 orbit file, read by ReadSp3File.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "gnss/checks/sp3_reader.h"
#include "platform/run_log.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("sp3_reader");
    if (!files.writeInput(data, size)) return 0;
    Sp3Orbits orbits;
    RunLog log;
    ReadSp3File(files.input(), orbits, log);
    return 0;
}
