// Fuzz target: any bytes as a receiver position (.PSN) file, read by readPsnFile.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_files.h"
#include "stations/psn_file.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("psn_file");
    if (!files.writeInput(data, size)) return 0;
    PsnPosition position;
    std::string errorText;
    const PsnReadResult result = readPsnFile(files.input(), position, errorText);
    const bool inRange = position.linesUsed >= 1 && position.linesUsed <= kPsnMaxPositionLines;
    if (result == PsnReadResult::kRead && !inRange) std::abort();
    return 0;
}
