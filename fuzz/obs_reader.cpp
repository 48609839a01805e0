// Fuzz target: any bytes as an observation file, read by OBS_readR3.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "platform/run_log.h"
#include "rinex/obs_reader.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("obs_reader");
    if (!files.writeInput(data, size)) return 0;
    ObsTable table;
    Rinex3ObsHeader header;
    RunLog log;
    OBS_readR3(files.input(), table, header, log);
    return 0;
}
