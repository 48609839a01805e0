// Fuzz target: any bytes as a gzip file, expanded by DecompressGz.
#include "decompress/decompress_gz.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_files.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("decompress_gz");
    if (!files.writeInput(data, size)) return 0;
    std::string message;
    (void)DecompressGz(files.input(), files.output(), message);  // any outcome is fine: the target looks for crashes
    return 0;
}
