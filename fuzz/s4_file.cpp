// Fuzz target: any bytes as an S4 file, read by readS4File.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "gnss/s4/s4_file.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("s4_file");
    if (!files.writeInput(data, size)) return 0;
    S4FileTable table;
    RunLog log;
    readS4File(files.input(), table, log);
    return 0;
}
