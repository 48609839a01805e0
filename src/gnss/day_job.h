#pragma once
// The state of one processing day: the file in work and everything the stages of the
// day fill. One DayJob per worker; beginFile and beginDay are the only places that empty
// it, so that nothing of one day (the LISN match included) reaches the next.
#include <cstdint>
#include <string>

#include "gnss/bias/bias_results.h"
#include "gnss/bias/dcb_table.h"
#include "gnss/orbits/look_geometry.h"
#include "gnss/s4/s4_state.h"
#include "gnss/tec/tec_table.h"
#include "rinex/ephemeris_table.h"
#include "rinex/nav_header.h"
#include "rinex/obs_table.h"
#include "rinex/receiver_obs_table.h"
#include "rinex/rinex3_obs_header.h"

namespace velarix {

struct StationInfo;

// The file and day in work.
struct CurrentFileContext {
    std::string inputPath;
    std::string dataDirectory;     // input path up to and including the last '/'
    std::string productDirectory;  // empty: products go to the data directory
    std::string stationCode;       // four characters
    std::int32_t session = -1;     // session or hour number
    std::int32_t year = -1;
    std::int32_t month = -1;
    std::int32_t dayOfMonth = -1;
    std::int32_t dayOfYear = -1;
    double latitudeDeg = -999.0;  // -999 = unknown
    double longitudeDeg = -999.0;
    double altitude = -999.0;
    const StationInfo* station = nullptr;  // the catalogue entry, when the station is known
    bool stationKnown = false;
    bool filled = false;                   // the job has copied the input's details in
    std::string decompressedInputPath;     // the (last) observation file the job reads

    // Back to the reset values, with the data directory taken from `path`.
    void reset(const std::string& path);
};

// Which kind of recording the input is, derived from its name.
struct InputKindFlags {
    int rinexObs = 0;
    int hatanaka = 0;
    int compressedZ = 0;
    int novatel = 0;
    int lisn = 0;
    int lisnDat = 0;
    int scinda = 0;
    int scindaPrc = 0;
    int inWorkA = 0;  // formats still in work
    int inWorkB = 0;
    int ism = 0;
    int spare = 0;

    void clear() { *this = InputKindFlags{}; }
};

// The station position the geometry works from: Earth-fixed and geodetic.
struct StationPosition {
    double x_m = 0.0, y_m = 0.0, z_m = 0.0;
    double latitude_deg = -999.0;  // -999 = unknown
    double longitude_deg = -999.0;  // 0..360
    double height_m = -999.0;

    bool known() const { return latitude_deg > -900.0; }
    // Sets all six from an Earth-fixed position (WGS-84).
    void setFromEcef(double x, double y, double z);
    // Sets all six from a geodetic position (WGS-84; longitude either way round).
    void setFromGeodetic(double latitude, double longitude, double height);
};

struct DayJob {
    CurrentFileContext context;
    InputKindFlags kinds;

    ObsTable obs;
    Rinex3ObsHeader obsHeader;
    ReceiverObsTable receiverObs;  // the receiver-format path's GPS observations
    EphemerisTable ephemerides;
    NavHeader navHeader;
    DcbTable dcb;
    TecTable tec;
    StationPosition station;

    BiasResults bias;
    S4State s4;

    double dataInterval_s = -1.0;  // sampling interval, set by the TEC stage
    double dayStartMjd = 0.0;      // the processing day
    double phaseSign = 1.0;        // sign of the phase TEC in the levelling
    IonoMapping mapping = IonoMapping::kThinShell;  // pierce points and slant-to-vertical

    // A new input file: the context (data directory from `path`) and the input kinds are
    // reset, then the day begins.
    void beginFile(const std::string& path);
    // A new day: every table, result and stage state of the previous day is emptied; the
    // file's context and kinds stay.
    void beginDay();
};

}  // namespace velarix
