// Fuzz target: any bytes as a Compact RINEX file, expanded by DecompressCrx.
#include "decompress/decompress_crx.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_files.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("decompress_crx");
    if (!files.writeInput(data, size)) return 0;
    std::string message;
    (void)DecompressCrx(files.input(), files.output(), message);  // any outcome is fine: the target looks for crashes
    return 0;
}
