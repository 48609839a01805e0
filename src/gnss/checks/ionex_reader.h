#pragma once
// Global ionosphere maps from an IONEX 1.x file (plain, gzip or .Z): the header's grid
// and the vertical TEC maps of the file, several a day (CODE: 25 hourly maps, JPL: 13
// two-hourly ones). RMS and height maps are skipped. Used to check our vertical TEC.
#include <map>
#include <string>
#include <vector>

#include "platform/status_code.h"

namespace velarix {

class RunLog;

// One axis of the grid: first, last and step as the header gives them (the step may be
// negative, e.g. latitudes 87.5 to -87.5 by -2.5).
struct IonexAxis {
    double first_deg = 0.0;
    double last_deg = 0.0;
    double step_deg = 0.0;
    int count = 0;  // nodes from first to last
};

struct IonexMap {
    double epochMjd = 0.0;         // UT
    std::vector<double> tec_TECU;  // latitude rows, each `longitudes.count` values; NaN = no value
};

struct IonexMaps {
    double version = 0.0;
    double firstEpochMjd = 0.0;  // EPOCH OF FIRST MAP, UT
    double lastEpochMjd = 0.0;
    double interval_s = 0.0;     // 0 when the file has no constant interval
    int mapsAnnounced = 0;       // # OF MAPS IN FILE
    std::string mappingFunction;
    double elevationCutoff_deg = 0.0;
    double baseRadius_km = 0.0;
    double height_km = 0.0;  // the single layer (HGT1)
    int exponent = -1;       // the header's; a map may override it for its own values
    IonexAxis latitudes;
    IonexAxis longitudes;
    std::vector<IonexMap> maps;  // TEC maps in epoch order, complete ones only
    // GPS station DCBs of the header's differential code bias block ("STATION / BIAS /
    // RMS"), ns, by upper-case station name: CODE gives C1W-C2W (or, as a comment line
    // states per station, C1C-C2W), the receiver's P1-P2 bias.
    std::map<std::string, double> gpsStationDcb_ns;
    int badLines = 0;            // value lines that could not be read (their values are missing)

    // Vertical TEC (TECU) at a point and time: bilinear in latitude and longitude on each
    // map, linear in time between the two maps around `mjd` (UT), each map rotated with
    // the Sun (longitude shifted by the Earth's rotation between the map epoch and `mjd`)
    // as the IONEX format description recommends. NaN outside the grid or the maps' time
    // span, or where a node that takes part has no value.
    double verticalTec(double mjd, double latitude_deg, double longitude_deg) const;
    // Bilinear on one map without rotation; NaN as above.
    double mapValue(const IonexMap& map, double latitude_deg, double longitude_deg) const;
};

// How an IONEX read ended.
enum class IonexReadResult {
    kRead = 0,
    kIncomplete = 1,   // the file ends early or holds fewer maps than announced; the complete
                       // maps read are kept
    kCannotOpen = -1,  // the file cannot be opened or expanded, or is no regular file
    kNotIonex = -2,    // not an IONEX 1.x file (or an empty one)
    kBadHeader = -3,   // a header without a usable grid, with a record that does not read, or
                       // with maps the reader does not read (3-dimensional, several heights)
};

// Whether a result left maps to use (kRead or kIncomplete).
[[nodiscard]] constexpr bool ionexMapsKept(IonexReadResult result) {
    return result == IonexReadResult::kRead || result == IonexReadResult::kIncomplete;
}

// Reads `path` into `maps` (emptied first); messages name the file and line. kRead: read
// to END OF FILE with the maps announced; the other results as above, the message says
// which problem it was.
[[nodiscard]] IonexReadResult ReadIonexFile(const std::string& path, IonexMaps& maps, RunLog& log);

}  // namespace velarix
