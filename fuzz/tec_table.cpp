// Fuzz target: any bytes as the TEC table of `velarix-tools tec`, read by ReadTecToolTable.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_files.h"
#include "gnss/checks/vtec_samples.h"
#include "platform/run_log.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("tec_table");
    if (!files.writeInput(data, size)) return 0;
    std::vector<VtecSample> samples;
    RunLog log;
    (void)ReadTecToolTable(files.input(), samples, log);  // any outcome is fine: the target looks for crashes
    return 0;
}
