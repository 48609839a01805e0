// Fuzz target: any bytes as the RINEX 2 observation file of a command file, read by
// OBS_read2 into the receiver table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_files.h"
#include "platform/run_log.h"
#include "rinex/obs_read2.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("obs_read2", "fuzz0010.20o");
    if (!files.writeInput(data, size)) return 0;
    ReceiverObsTable table;
    RunLog log;
    const ObsRead2Result result = OBS_read2(files.input(), table, log);
    if (result.stored < 0 || result.discarded < 0) std::abort();
    return 0;
}
