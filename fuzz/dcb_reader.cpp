// Fuzz target: any bytes as a CODE DCB file, read as each of the month's three files.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "gnss/bias/dcb_table.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("dcb_reader");
    if (!files.writeInput(data, size)) return 0;
    DcbTable table;
    (void)ReadDcbFiles(files.input(), files.input(), files.input(), table);  // any outcome is fine; a crash is not
    return 0;
}
