// Fuzz target: any bytes as a Bias-SINEX file, read by ReadBiasSinexFile.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "gnss/bias/bias_sinex_reader.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("bias_sinex_reader");
    if (!files.writeInput(data, size)) return 0;
    DcbTable table;
    RunLog log;
    BiasSinexCounts counts;
    (void)ReadBiasSinexFile(files.input(), table, log, &counts);
    return 0;
}
