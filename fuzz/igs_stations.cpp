// Fuzz target: any bytes as the IGS station list, read by readIgsStationFile; the first
// code read is then looked up without regard to case.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_files.h"
#include "stations/igs_stations.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("igs_stations");
    if (!files.writeInput(data, size)) return 0;
    StationCatalogue catalogue;
    std::string errorText;
    // Any result will do: the entries before a bad line stay and are looked up below.
    (void)readIgsStationFile(files.input(), catalogue, &errorText);
    if (!catalogue.empty()) findStation(catalogue, catalogue.begin()->first);
    return 0;
}
