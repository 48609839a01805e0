// Fuzz target: any bytes as an IONEX file, read by ReadIonexFile; the maps read are then
// interpolated at their grid's corners and middle, between and beyond their epochs.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "gnss/checks/ionex_reader.h"
#include "platform/run_log.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("ionex_reader");
    if (!files.writeInput(data, size)) return 0;
    IonexMaps maps;
    RunLog log;
    (void)ReadIonexFile(files.input(), maps, log);  // any outcome is fine: the maps kept are probed below
    if (maps.maps.empty()) return 0;
    const IonexAxis& lat = maps.latitudes;
    const IonexAxis& lon = maps.longitudes;
    const double latitudes[] = {lat.first_deg, lat.last_deg, (lat.first_deg + lat.last_deg) / 2, lat.first_deg - 1};
    const double longitudes[] = {lon.first_deg, lon.last_deg, (lon.first_deg + lon.last_deg) / 2, lon.last_deg + 1};
    const double first = maps.maps.front().epochMjd;
    const double last = maps.maps.back().epochMjd;
    for (const double mjd : {first, last, (first + last) / 2, last + 1}) {
        for (const double latitude : latitudes) {
            for (const double longitude : longitudes) {
                maps.verticalTec(mjd, latitude, longitude);
                maps.mapValue(maps.maps.front(), latitude, longitude);
            }
        }
    }
    return 0;
}
