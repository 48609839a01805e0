// Fuzz target: any bytes as a navigation file, read by the navigation reader and by the
// RINEX 2 GPS reader of the receiver-format path.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "rinex/nav_reader.h"
#include "platform/run_log.h"
#include "rinex/nav_gps_r2_reader.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("nav_reader");
    if (!files.writeInput(data, size)) return 0;
    EphemerisTable table;
    NavHeader header;
    RunLog log;
    (void)readNavigationFile(files.input(), table, header, log);  // any outcome is fine: the target looks for crashes

    GpsBroadcastTable gps;
    (void)readGpsNavigationR2(files.input(), gps, header, log);  // likewise
    return 0;
}
